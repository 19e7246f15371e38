#include "feed_kind.hpp"

#include <algorithm>
#include <array>
#include <functional>

namespace ostrel {
namespace {

using enum FeedKind;

// Sorted by name bytes so that lookups can search it by halving.
constexpr std::array kTypeFeeds = std::to_array<TypeFeed>({
    {"AbandonedBaby", Kline}, {"Abcd", Kline}, {"AbsoluteBreadthIndex", CrossSection},
    {"AccelerationBands", Kline}, {"AcceleratorOscillator", Kline}, {"AdOscillator", Kline},
    {"AdVolumeLine", CrossSection}, {"AdaptiveCci", Kline}, {"AdaptiveCycle", Kline},
    {"AdaptiveLaguerreFilter", Kline}, {"AdaptiveRsi", Kline}, {"Adl", Kline},
    {"AdvanceBlock", Kline}, {"AdvanceDecline", CrossSection},
    {"AdvanceDeclineRatio", CrossSection}, {"Adx", Kline}, {"Adxr", Kline}, {"Alligator", Kline},
    {"Alma", Kline}, {"Alpha", Kline}, {"AmihudIlliquidity", Trade}, {"AnchoredRsi", Kline},
    {"AnchoredVwap", Kline}, {"AndrewsPitchfork", Kline}, {"Apo", Kline}, {"Aroon", Kline},
    {"AroonOscillator", Kline}, {"Atr", Kline}, {"AtrBands", Kline}, {"AtrRatchet", Kline},
    {"AtrTrailingStop", Kline}, {"AutoFib", Kline}, {"Autocorrelation", Kline},
    {"AutocorrelationPeriodogram", Kline}, {"AverageDailyRange", Kline}, {"AverageDrawdown", Kline},
    {"AvgPrice", Kline}, {"AwesomeOscillator", Kline}, {"AwesomeOscillatorHistogram", Kline},
    {"BalanceOfPower", Kline}, {"BandpassFilter", Kline}, {"Bat", Kline}, {"BeltHold", Kline},
    {"Beta", Kline}, {"BetaNeutralSpread", Kline}, {"BetterVolume", Kline},
    {"BipowerVariation", Kline}, {"BodySizePct", Kline}, {"BollingerBands", Kline},
    {"BollingerBandwidth", Kline}, {"BomarBands", Kline}, {"BreadthThrust", CrossSection},
    {"Breakaway", Kline}, {"BullishPercentIndex", CrossSection}, {"BurkeRatio", Kline},
    {"Butterfly", Kline}, {"CalendarSpread", Derivatives}, {"CalmarRatio", Kline},
    {"Camarilla", Kline}, {"CandleVolume", Kline}, {"Cci", Kline}, {"CenterOfGravity", Kline},
    {"CentralPivotRange", Kline}, {"Cfo", Kline}, {"ChaikinMoneyFlow", Kline},
    {"ChaikinOscillator", Kline}, {"ChaikinVolatility", Kline}, {"ChandeKrollStop", Kline},
    {"ChandelierExit", Kline}, {"ChoppinessIndex", Kline}, {"ClassicPivots", Kline},
    {"CloseVsOpen", Kline}, {"ClosingMarubozu", Kline}, {"Cmo", Kline},
    {"CoefficientOfVariation", Kline}, {"Cointegration", Kline}, {"CommonSenseRatio", Kline},
    {"CompositeProfile", Kline}, {"ConcealingBabySwallow", Kline},
    {"ConditionalValueAtRisk", Kline}, {"ConnorsRsi", Kline}, {"Coppock", Kline},
    {"CorrelationTrendIndicator", Kline}, {"Counterattack", Kline}, {"Crab", Kline},
    {"CumulativeVolumeDelta", Trade}, {"CumulativeVolumeIndex", CrossSection},
    {"CupAndHandle", Kline}, {"CyberneticCycle", Kline}, {"Cypher", Kline}, {"Decycler", Kline},
    {"DecyclerOscillator", Kline}, {"Dema", Kline}, {"DemandIndex", Kline}, {"DemarkPivots", Kline},
    {"DepthSlope", Orderbook}, {"DerivativeOscillator", Kline}, {"DetrendedStdDev", Kline},
    {"DisparityIndex", Kline}, {"DistanceSsd", Kline}, {"Doji", Kline}, {"DojiStar", Kline},
    {"Donchian", Kline}, {"DonchianStop", Kline}, {"DoubleBollinger", Kline},
    {"DoubleTopBottom", Kline}, {"DownsideGapThreeMethods", Kline}, {"Dpo", Kline},
    {"DragonflyDoji", Kline}, {"DumplingTop", Kline}, {"Dx", Kline},
    {"DynamicMomentumIndex", Kline}, {"EaseOfMovement", Kline}, {"EffectiveSpread", TradeQuote},
    {"EhlersStochastic", Kline}, {"Ehma", Kline}, {"ElderImpulse", Kline}, {"ElderRay", Kline},
    {"ElderSafeZone", Kline}, {"Ema", Kline}, {"EmpiricalModeDecomposition", Kline},
    {"Engulfing", Kline}, {"Equivolume", Kline}, {"EstimatedLeverageRatio", Kline},
    {"EvenBetterSinewave", Kline}, {"EveningDojiStar", Kline}, {"Evwma", Kline},
    {"EwmaVolatility", Kline}, {"Expectancy", Kline}, {"FallingThreeMethods", Kline},
    {"Fama", Kline}, {"FibArcs", Kline}, {"FibChannel", Kline}, {"FibConfluence", Kline},
    {"FibExtension", Kline}, {"FibFan", Kline}, {"FibProjection", Kline}, {"FibRetracement", Kline},
    {"FibTimeZones", Kline}, {"FibonacciPivots", Kline}, {"FisherRsi", Kline},
    {"FisherTransform", Kline}, {"FlagPennant", Kline}, {"ForceIndex", Kline},
    {"FractalChaosBands", Kline}, {"Frama", Kline}, {"FryPanBottom", Kline},
    {"FundingBasis", Derivatives}, {"FundingImpliedApr", Derivatives}, {"FundingRate", Derivatives},
    {"FundingRateMean", Derivatives}, {"FundingRateZScore", Derivatives}, {"GainLossRatio", Kline},
    {"GainToPainRatio", Kline}, {"GapSideBySideWhite", Kline}, {"Garch11", Kline},
    {"GarmanKlassVolatility", Kline}, {"Gartley", Kline}, {"GatorOscillator", Kline},
    {"GeneralizedDema", Kline}, {"GeometricMa", Kline}, {"GoldenPocket", Kline},
    {"GrangerCausality", Kline}, {"GravestoneDoji", Kline}, {"Hammer", Kline},
    {"HangingMan", Kline}, {"Harami", Kline}, {"HaramiCross", Kline},
    {"HasbrouckInformationShare", Kline}, {"HeadAndShoulders", Kline}, {"HeikinAshi", Kline},
    {"HeikinAshiOscillator", Kline}, {"HiLoActivator", Kline}, {"HighLowIndex", CrossSection},
    {"HighLowRange", Kline}, {"HighLowVolumeNodes", Kline}, {"HighWave", Kline},
    {"HighpassFilter", Kline}, {"Hikkake", Kline}, {"HikkakeModified", Kline},
    {"HilbertDominantCycle", Kline}, {"HistoricalVolatility", Kline}, {"Hma", Kline},
    {"HoltWinters", Kline}, {"HomingPigeon", Kline}, {"HtDcPhase", Kline}, {"HtPhasor", Kline},
    {"HtTrendMode", Kline}, {"HurstChannel", Kline}, {"HurstExponent", Kline},
    {"IdenticalThreeCrows", Kline}, {"InNeck", Kline}, {"Inertia", Kline},
    {"InformationRatio", Kline}, {"InitialBalance", Kline}, {"InstantaneousTrendline", Kline},
    {"IntradayIntensity", Kline}, {"IntradayMomentumIndex", Kline},
    {"InverseFisherTransform", Kline}, {"InvertedHammer", Kline}, {"JarqueBera", Kline},
    {"Jma", Kline}, {"JumpIndicator", Kline}, {"KRatio", Kline}, {"KalmanHedgeRatio", Kline},
    {"Kama", Kline}, {"KaseDevStop", Kline}, {"KasePermissionStochastic", Kline},
    {"KellyCriterion", Kline}, {"Keltner", Kline}, {"KendallTau", Kline}, {"Kicking", Kline},
    {"KickingByLength", Kline}, {"Kst", Kline}, {"Kurtosis", Kline}, {"Kvo", Kline},
    {"KylesLambda", TradeQuote}, {"LadderBottom", Kline}, {"LaguerreRsi", Kline},
    {"LeadLagCrossCorrelation", Kline}, {"LinRegAngle", Kline}, {"LinRegChannel", Kline},
    {"LinRegIntercept", Kline}, {"LinRegSlope", Kline}, {"LinearRegression", Kline},
    {"LiquidationFeatures", Derivatives}, {"LogReturn", Kline}, {"LongLeggedDoji", Kline},
    {"LongLine", Kline}, {"LongShortRatio", Derivatives}, {"M2Measure", Kline},
    {"MaEnvelope", Kline}, {"MacdFix", Kline}, {"MacdHistogram", Kline}, {"MacdIndicator", Kline},
    {"Mama", Kline}, {"MarketFacilitationIndex", Kline}, {"MartinRatio", Kline},
    {"Marubozu", Kline}, {"MassIndex", Kline}, {"MatHold", Kline}, {"MatchingLow", Kline},
    {"MaxDrawdown", Kline}, {"McClellanOscillator", CrossSection},
    {"McClellanSummationIndex", CrossSection}, {"McGinleyDynamic", Kline},
    {"MedianAbsoluteDeviation", Kline}, {"MedianChannel", Kline}, {"MedianMa", Kline},
    {"MedianPrice", Kline}, {"Mfi", Kline}, {"Microprice", Orderbook}, {"MidPoint", Kline},
    {"MidPrice", Kline}, {"MinusDi", Kline}, {"MinusDm", Kline}, {"ModifiedMaStop", Kline},
    {"Mom", Kline}, {"MorningDojiStar", Kline}, {"MorningEveningStar", Kline},
    {"MurreyMathLines", Kline}, {"NakedPoc", Kline}, {"Natr", Kline},
    {"NewHighsNewLows", CrossSection}, {"NewPriceLines", Kline}, {"Nrtr", Kline}, {"Nvi", Kline},
    {"OIPriceDivergence", Derivatives}, {"OIWeighted", Derivatives}, {"Obv", Kline},
    {"OiToVolumeRatio", Derivatives}, {"OmegaRatio", Kline}, {"OnNeck", Kline},
    {"OpenInterestDelta", Derivatives}, {"OpenInterestMomentum", Derivatives},
    {"OpeningMarubozu", Kline}, {"OpeningRange", Kline}, {"OrderBookImbalanceFull", Orderbook},
    {"OrderBookImbalanceTop1", Orderbook}, {"OrderBookImbalanceTopN", Orderbook},
    {"OrderFlowImbalance", Orderbook}, {"OuHalfLife", Kline}, {"OvernightGap", Kline},
    {"OvernightIntradayReturn", Kline}, {"PainIndex", Kline}, {"PairSpreadZScore", Kline},
    {"PairwiseBeta", Kline}, {"ParkinsonVolatility", Kline}, {"PearsonCorrelation", Kline},
    {"PercentAboveMa", CrossSection}, {"PercentB", Kline}, {"PercentageTrailingStop", Kline},
    {"PerpetualPremiumIndex", Derivatives}, {"Pgo", Kline}, {"PiercingDarkCloud", Kline},
    {"Pin", Trade}, {"PivotReversal", Kline}, {"PlusDi", Kline}, {"PlusDm", Kline}, {"Pmo", Kline},
    {"PolarizedFractalEfficiency", Kline}, {"Ppo", Kline}, {"PpoHistogram", Kline},
    {"ProfileShape", Kline}, {"ProfitFactor", Kline}, {"ProjectionBands", Kline},
    {"ProjectionOscillator", Kline}, {"Psar", Kline}, {"Pvi", Kline}, {"Qqe", Kline},
    {"Qstick", Kline}, {"QuartileBands", Kline}, {"QuotedSpread", Orderbook}, {"RSquared", Kline},
    {"RealizedSpread", TradeQuote}, {"RealizedVolatility", Kline}, {"RecoveryFactor", Kline},
    {"RectangleRange", Kline}, {"Reflex", Kline}, {"RegimeLabel", Kline},
    {"RelativeStrengthAB", Kline}, {"RenkoTrailingStop", Kline}, {"RickshawMan", Kline},
    {"RisingThreeMethods", Kline}, {"Rmi", Kline}, {"Roc", Kline}, {"Rocp", Kline}, {"Rocr", Kline},
    {"Rocr100", Kline}, {"RogersSatchellVolatility", Kline}, {"RollMeasure", Trade},
    {"RollingCorrelation", Kline}, {"RollingCovariance", Kline}, {"RollingIqr", Kline},
    {"RollingMinMaxScaler", Kline}, {"RollingPercentileRank", Kline}, {"RollingQuantile", Kline},
    {"RollingVwap", Kline}, {"RoofingFilter", Kline}, {"Rsi", Kline}, {"Rsx", Kline},
    {"Rvi", Kline}, {"RviVolatility", Kline}, {"Rwi", Kline}, {"SampleEntropy", Kline},
    {"SarExt", Kline}, {"SeasonalZScore", Kline}, {"SeparatingLines", Kline},
    {"SessionHighLow", Kline}, {"SessionRange", Kline}, {"SessionVwap", Kline},
    {"ShannonEntropy", Kline}, {"Shark", Kline}, {"SharpeRatio", Kline}, {"ShootingStar", Kline},
    {"ShortLine", Kline}, {"SignedVolume", Trade}, {"SineWave", Kline}, {"SineWeightedMa", Kline},
    {"SinglePrints", Kline}, {"Skewness", Kline}, {"Sma", Kline}, {"Smi", Kline}, {"Smma", Kline},
    {"SmoothedHeikinAshi", Kline}, {"SortinoRatio", Kline}, {"SpearmanCorrelation", Kline},
    {"SpinningTop", Kline}, {"SpreadAr1Coefficient", Kline}, {"SpreadBollingerBands", Kline},
    {"SpreadHurst", Kline}, {"StalledPattern", Kline}, {"StandardError", Kline},
    {"StandardErrorBands", Kline}, {"StarcBands", Kline}, {"Stc", Kline}, {"StdDev", Kline},
    {"StepTrailingStop", Kline}, {"SterlingRatio", Kline}, {"StickSandwich", Kline},
    {"StochRsi", Kline}, {"Stochastic", Kline}, {"StochasticCci", Kline}, {"SuperSmoother", Kline},
    {"SuperTrend", Kline}, {"T3", Kline}, {"TailRatio", Kline}, {"TakerBuySellRatio", Derivatives},
    {"Takuri", Kline}, {"TasukiGap", Kline}, {"TdCamouflage", Kline}, {"TdClop", Kline},
    {"TdClopwin", Kline}, {"TdCombo", Kline}, {"TdCountdown", Kline}, {"TdDWave", Kline},
    {"TdDeMarker", Kline}, {"TdDifferential", Kline}, {"TdLines", Kline},
    {"TdMovingAverage", Kline}, {"TdOpen", Kline}, {"TdPressure", Kline}, {"TdPropulsion", Kline},
    {"TdRangeProjection", Kline}, {"TdRei", Kline}, {"TdRiskLevel", Kline}, {"TdSequential", Kline},
    {"TdSetup", Kline}, {"TdTrap", Kline}, {"Tema", Kline}, {"TermStructureBasis", Derivatives},
    {"ThreeDrives", Kline}, {"ThreeInside", Kline}, {"ThreeLineBreak", Kline},
    {"ThreeLineStrike", Kline}, {"ThreeOutside", Kline}, {"ThreeSoldiersOrCrows", Kline},
    {"ThreeStarsInSouth", Kline}, {"Thrusting", Kline}, {"TickIndex", CrossSection}, {"Tii", Kline},
    {"TimeBasedStop", Kline}, {"TowerTopBottom", Kline}, {"TpoProfile", Kline},
    {"TradeImbalance", Trade}, {"TradeSignAutocorrelation", Trade}, {"TradeVolumeIndex", Kline},
    {"TrendLabel", Kline}, {"TrendStrengthIndex", Kline}, {"Trendflex", Kline},
    {"TreynorRatio", Kline}, {"Triangle", Kline}, {"Trima", Kline}, {"Trin", CrossSection},
    {"TripleTopBottom", Kline}, {"Tristar", Kline}, {"Trix", Kline}, {"TrueRange", Kline},
    {"Tsf", Kline}, {"TsfOscillator", Kline}, {"Tsi", Kline}, {"Tsv", Kline}, {"TtmSqueeze", Kline},
    {"TtmTrend", Kline}, {"TurnOfMonth", Kline}, {"Tweezer", Kline}, {"TwiggsMoneyFlow", Kline},
    {"TwoCrows", Kline}, {"TypicalPrice", Kline}, {"UlcerIndex", Kline},
    {"UltimateOscillator", Kline}, {"UniqueThreeRiver", Kline}, {"UniversalOscillator", Kline},
    {"UpDownVolumeRatio", CrossSection}, {"UpsideGapThreeMethods", Kline},
    {"UpsideGapTwoCrows", Kline}, {"UpsidePotentialRatio", Kline}, {"ValueArea", Kline},
    {"ValueAtRisk", Kline}, {"Variance", Kline}, {"VarianceRatio", Kline},
    {"VerticalHorizontalFilter", Kline}, {"Vidya", Kline}, {"VolatilityCone", Kline},
    {"VolatilityOfVolatility", Kline}, {"VolatilityRatio", Kline}, {"VoltyStop", Kline},
    {"VolumeOscillator", Kline}, {"VolumePriceTrend", Kline}, {"VolumeProfile", Kline},
    {"VolumeRsi", Kline}, {"VolumeWeightedMacd", Kline}, {"VolumeWeightedSr", Kline},
    {"Vortex", Kline}, {"Vpin", Trade}, {"Vwap", Kline}, {"VwapStdDevBands", Kline},
    {"Vwma", Kline}, {"Vzo", Kline}, {"Wad", Kline}, {"WavePm", Kline}, {"WaveTrend", Kline},
    {"Wedge", Kline}, {"WeightedClose", Kline}, {"WickRatio", Kline}, {"WilliamsR", Kline},
    {"WinRate", Kline}, {"Wma", Kline}, {"WoodiePivots", Kline}, {"YangZhangVolatility", Kline},
    {"YoyoExit", Kline}, {"ZScore", Kline}, {"ZeroLagMacd", Kline}, {"ZigZag", Kline},
    {"Zlema", Kline},
});

static_assert(kTypeFeeds.size() == 495);
static_assert(std::ranges::adjacent_find(kTypeFeeds, std::greater_equal{}, &TypeFeed::name) ==
                  kTypeFeeds.end(),
              "type names must be strictly ascending");

}  // namespace

std::string_view feed_display_name(FeedKind kind) {
  switch (kind) {
    case Kline: return "Kline";
    case Trade: return "Trade";
    case Orderbook: return "Orderbook";
    case TradeQuote: return "TradeQuote";
    case Derivatives: return "Derivatives";
    case CrossSection: return "CrossSection";
  }
  return {};
}

std::span<const TypeFeed> known_indicator_types() { return kTypeFeeds; }

std::optional<FeedKind> consumed_feed(std::string_view type) {
  auto it = std::ranges::lower_bound(kTypeFeeds, type, {}, &TypeFeed::name);
  if (it == kTypeFeeds.end() || it->name != type) return std::nullopt;
  return it->feed;
}

}  // namespace ostrel
