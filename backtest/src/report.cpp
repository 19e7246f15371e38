#include "report.hpp"

namespace ostrel {

std::string_view exit_reason_text(ExitReason reason) {
  switch (reason) {
    case ExitReason::Signal: return "signal";
    case ExitReason::StopLoss: return "stop_loss";
    case ExitReason::TrailingStop: return "trailing_stop";
    case ExitReason::TakeProfit: return "take_profit";
    case ExitReason::Liquidation: return "liquidation";
    case ExitReason::End: return "end";
  }
  return "signal";
}

}  // namespace ostrel
