#include "indicator_factory.hpp"

#include "registry.hpp"

namespace ostrel {

BacktestResult<std::unique_ptr<Indicator>> create_indicator(std::string_view type,
                                                            std::span<const double> params) {
  auto built = build_indicator(type, params);
  if (built) return std::move(built).value();
  RegistryError error = std::move(built).error();
  if (error.kind == RegistryError::Kind::UnknownIndicator) {
    return BacktestError::unknown_indicator(std::move(error.type));
  }
  return BacktestError::invalid_params(std::move(error.type), std::move(error.reason));
}

}  // namespace ostrel
