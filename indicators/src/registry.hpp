#pragma once
// The registry: every known indicator type by name, the feed it consumes, and
// how a declared indicator becomes a live one.

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "feed_kind.hpp"
#include "indicator.hpp"
#include "params.hpp"
#include "result.hpp"

namespace ostrel {

// One known type. build is null while the type's family is not built.
struct TypeRow {
  std::string_view name;
  FeedKind feed;
  const TypeBuilder* build = nullptr;
};

// Every known type name (aliases excluded), sorted by name bytes.
std::span<const TypeRow> known_indicator_types();

// The row of a known type name, exactly as written (aliases are not names of
// the table); null for any other name.
const TypeRow* find_type(std::string_view name);

// The feed a known type consumes; none for unknown names and for the aliases
// "Bollinger" and "Macd".
std::optional<FeedKind> consumed_feed(std::string_view type);

// The full name an alias stands for ("Bollinger": "BollingerBands", "Macd":
// "MacdIndicator"); any other name unchanged.
std::string_view resolve_alias(std::string_view name);

struct RegistryError {
  enum class Kind { UnknownIndicator, InvalidParams };
  Kind kind;
  std::string type;    // the name asked for; for InvalidParams the full name of an alias
  std::string reason;  // InvalidParams only: the parameter or constructor message
};

// Exact, case-sensitive lookup; "Bollinger" and "Macd" stand for
// "BollingerBands" and "MacdIndicator". Surplus parameters are ignored.
Result<std::unique_ptr<Indicator>, RegistryError> build_indicator(std::string_view type,
                                                                  std::span<const double> params);

}  // namespace ostrel
