#include "json/spec_reading.hpp"

#include "json/record_reader.hpp"
#include "json/rules_reading.hpp"
#include "json/tagged_object.hpp"

namespace ostrel::json {

namespace {

// ---- enumerations ----

constexpr std::string_view kOrderTypeNames[] = {"market", "limit", "stop", "stop_limit"};
constexpr std::string_view kFillTimingNames[] = {"next_open", "close"};

template <class E>
bool read_enum(Reader& r, std::span<const std::string_view> names, E& out) {
  size_t i;
  if (!r.read_unit_enum(names, i)) return false;
  out = static_cast<E>(i);
  return true;
}

bool read_optional_f64(Reader& r, std::optional<double>& out) {
  return read_optional(r, out, [](Reader& rr, double& v) { return rr.read_f64(v); });
}

// ---- tagged objects ----

constexpr std::string_view kOneNumber[][1] = {{"fraction"}, {"qty"}, {"cash"}, {"risk_pct"},
                                              {"bps"},      {"coef"}};
constexpr std::string_view kVolTargetFields[] = {"target_vol", "lookback"};

constexpr TaggedVariant kSizingVariants[] = {
    {"fixed_fraction", "struct variant Sizing::FixedFraction with 1 element", kOneNumber[0]},
    {"fixed_qty", "struct variant Sizing::FixedQty with 1 element", kOneNumber[1]},
    {"fixed_cash", "struct variant Sizing::FixedCash with 1 element", kOneNumber[2]},
    {"vol_target", "struct variant Sizing::VolTarget with 2 elements", kVolTargetFields},
    {"risk_per_trade", "struct variant Sizing::RiskPerTrade with 1 element", kOneNumber[3]},
};

constexpr TaggedVariant kSlippageVariants[] = {
    {"fixed_bps", "struct variant Slippage::FixedBps with 1 element", kOneNumber[4]},
    {"spread", "struct variant Slippage::Spread with 0 elements", {}},
    {"volume_impact", "struct variant Slippage::VolumeImpact with 1 element", kOneNumber[5]},
};

bool read_sizing(Reader& r, Sizing& out) {
  TaggedFields f;
  if (!read_tagged_object(r, "internally tagged enum Sizing", kSizingVariants, f)) return false;
  out = {static_cast<SizingKind>(f.variant), f.value, f.count};
  return true;
}

bool read_slippage(Reader& r, Slippage& out) {
  TaggedFields f;
  if (!read_tagged_object(r, "internally tagged enum Slippage", kSlippageVariants, f)) {
    return false;
  }
  out = {static_cast<SlippageKind>(f.variant), f.value};
  return true;
}

// ---- records of the spec ----

constexpr Field kIndicatorFields[] = {{"type", true}, {"params", false}, {"feed", false}};

bool read_indicator_field(Reader& r, IndicatorSpec& s, size_t i) {
  switch (i) {
    case 0: return r.read_string(s.type);
    case 1:
      return read_sequence(r, s.params, [](Reader& rr, double& v) { return rr.read_f64(v); });
    default:
      return read_optional(r, s.feed, [](Reader& rr, FeedKind& k) {
        return read_enum(rr, kFeedDocumentNames, k);
      });
  }
}

constexpr RecordShape<IndicatorSpec> kIndicatorSpec{
    "struct IndicatorSpec", "struct IndicatorSpec with 3 elements", kIndicatorFields,
    read_indicator_field};

bool read_indicator_spec(Reader& r, IndicatorSpec& out) {
  return read_record(r, out, kIndicatorSpec);
}

// The indicators map: the last definition of a name wins.
bool read_indicators(Reader& r, std::map<std::string, IndicatorSpec>& out) {
  char c;
  if (!r.peek(c)) return r.fail_after_peek("EOF while parsing a value");
  if (c != '{') return r.invalid_type("a map");
  return read_members(r, [&out](Reader& rr, std::string_view key) {
    std::string name(key);
    IndicatorSpec spec;
    if (!rr.expect_colon() || !read_indicator_spec(rr, spec)) return false;
    out.insert_or_assign(std::move(name), std::move(spec));
    return true;
  });
}

constexpr Field kCostsFields[] = {
    {"maker_bps", false}, {"taker_bps", false}, {"slippage", false}, {"funding", false}};

bool read_costs_field(Reader& r, Costs& c, size_t i) {
  switch (i) {
    case 0: return r.read_f64(c.maker_bps);
    case 1: return r.read_f64(c.taker_bps);
    case 2: return read_slippage(r, c.slippage);
    default: return r.read_bool(c.funding);
  }
}

constexpr RecordShape<Costs> kCosts{"struct Costs", "struct Costs with 4 elements", kCostsFields,
                                    read_costs_field};

constexpr Field kRiskFields[] = {{"stop_loss_pct", false},     {"take_profit_pct", false},
                                 {"trailing_stop_pct", false}, {"max_leverage", false},
                                 {"max_position_pct", false},  {"liquidation", false}};

bool read_risk_field(Reader& r, Risk& k, size_t i) {
  std::optional<double>* pcts[] = {&k.stop_loss_pct, &k.take_profit_pct, &k.trailing_stop_pct,
                                   &k.max_leverage, &k.max_position_pct};
  if (i < std::size(pcts)) return read_optional_f64(r, *pcts[i]);
  return r.read_bool(k.liquidation);
}

constexpr RecordShape<Risk> kRisk{"struct Risk", "struct Risk with 6 elements", kRiskFields,
                                  read_risk_field};

constexpr Field kExecutionFields[] = {
    {"order_type", false},       {"fill_timing", false},  {"limit_offset_pct", false},
    {"stop_offset_pct", false},  {"latency_bars", false}, {"partial_fills", false},
    {"max_participation", false}};

bool read_execution_field(Reader& r, Execution& e, size_t i) {
  switch (i) {
    case 0: return read_enum(r, kOrderTypeNames, e.order_type);
    case 1: return read_enum(r, kFillTimingNames, e.fill_timing);
    case 2: return read_optional_f64(r, e.limit_offset_pct);
    case 3: return read_optional_f64(r, e.stop_offset_pct);
    case 4: return r.read_u32(e.latency_bars);
    case 5: return r.read_bool(e.partial_fills);
    default: return read_optional_f64(r, e.max_participation);
  }
}

constexpr RecordShape<Execution> kExecution{"struct Execution", "struct Execution with 7 elements",
                                            kExecutionFields, read_execution_field};

// ---- the spec ----

constexpr Field kSpecFields[] = {
    {"spec_version", false}, {"symbol", true},      {"ref_symbol", false},
    {"timeframe", true},     {"indicators", true},  {"entry", true},
    {"exit", true},          {"short_entry", false}, {"short_exit", false},
    {"sizing", true},        {"costs", false},      {"risk", false},
    {"execution", false},    {"warmup", false}};

bool read_optional_rule(Reader& r, std::optional<Condition>& out) {
  return read_optional(r, out, read_condition);
}

bool read_spec_field(Reader& r, StrategySpec& s, size_t i) {
  switch (i) {
    case 0: return r.read_u32(s.spec_version);
    case 1: return r.read_string(s.symbol);
    case 2:
      return read_optional(r, s.ref_symbol, [](Reader& rr, std::string& v) {
        return rr.read_string(v);
      });
    case 3: return r.read_string(s.timeframe);
    case 4: return read_indicators(r, s.indicators);
    case 5: return read_condition(r, s.entry);
    case 6: return read_condition(r, s.exit);
    case 7: return read_optional_rule(r, s.short_entry);
    case 8: return read_optional_rule(r, s.short_exit);
    case 9: return read_sizing(r, s.sizing);
    case 10: return read_record(r, s.costs, kCosts);
    case 11: return read_record(r, s.risk, kRisk);
    case 12: return read_record(r, s.execution, kExecution);
    default:
      return read_optional(r, s.warmup, [](Reader& rr, uint32_t& v) { return rr.read_u32(v); });
  }
}

constexpr RecordShape<StrategySpec> kSpec{"struct StrategySpec",
                                          "struct StrategySpec with 14 elements", kSpecFields,
                                          read_spec_field};

}  // namespace

bool read_strategy_spec(Reader& r, StrategySpec& out) { return read_record(r, out, kSpec); }

}  // namespace ostrel::json
