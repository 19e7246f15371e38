#include "indicator_factory.hpp"

#include <string>

namespace ostrel {

// No indicator type is registered yet: every name is unknown.
BacktestResult<std::unique_ptr<Indicator>> create_indicator(std::string_view type,
                                                            std::span<const double>) {
  return BacktestError::unknown_indicator(std::string(type));
}

}  // namespace ostrel
