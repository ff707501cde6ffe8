#pragma once
// Fixed physical values and model coefficients. Every value carries its meaning and unit;
// equations refer to these names instead of bare numbers.

#include <numbers>

namespace zf {

inline constexpr double kGasCp = 1040.0;            // specific heat of the gas [J/(kg·K)]
inline constexpr double kGasR = 287.0;              // gas constant of air [J/(kg·K)]
// Outside air at the building's pressure: density × temperature [kg·K/m³], so that its
// density is ρ0 = 353.5138 / T0 (1.2065 kg/m³ at 293 K). The one place this number is written.
inline constexpr double kAirDensityTimesT = 353.5138;
inline constexpr double kGravity = 9.81;            // gravitational acceleration [m/s²]
inline constexpr double kO2MassFraction = 0.23;     // oxygen mass fraction of air [kg/kg]

// Density of outside air at temperature T0 [K]: ρ0 = (ρ·T) / T0 [kg/m³].
inline double OutsideAirDensity(double T0) { return kAirDensityTimesT / T0; }

// Opening faces
inline constexpr double kMuOpen = 0.64;             // discharge coefficient of an open opening [-]
inline constexpr double kMuClosed = 0.08;           // discharge coefficient of a closed opening (gaps) [-]
inline constexpr double kLeakHeight = 0.2;          // height of a room's leak opening [m]
inline constexpr double kLeakWidthPerSide = 0.3;    // leak width per metre of (length + width) [-]

// Plume correlations
inline constexpr double kTanakaCoeff = 0.21;        // Tanaka plume coefficient [kg/(s·m^(5/3))·(...)^(-1/3)]
inline constexpr double kTanakaSourceDepth = 1.5;   // virtual source depth per √(burning area) [-]
inline constexpr double kMcCaffreyFlameLimit = 0.08;   // continuous-flame / intermittent limit [m/kW^0.4]
inline constexpr double kMcCaffreyPlumeLimit = 0.2;    // intermittent / plume limit [m/kW^0.4]

// Hazards at the working zone
inline constexpr double kProfileExponent = 1.4;     // exponent of the working-zone profile z·e^(1.4·z) [-]
inline constexpr double kVisibilityConst = 2.38;    // visibility × optical density of an illuminated sign [Np]
inline constexpr double kMaxVisibility = 50.0;      // visibility cap [m]
inline constexpr double kRadiatedFraction = 0.55;   // share of the heat release radiated [-]
// The radiation criterion: the radiated share of the heat release spread over a sphere of
// radius r = 3 m around the fire, 4π·r² = 36π ≈ 113.1 m².
inline constexpr double kRadiationDistance = 3.0;   // distance from the fire [m]
inline constexpr double kRadiationSphereArea =
    4.0 * std::numbers::pi * (kRadiationDistance * kRadiationDistance);  // [m²]

// Heat loss of the smoke layer to walls and ceiling
inline constexpr double kHotLayerLimit = 333.0;     // above this, forced-convection correlation [K]
inline constexpr double kAlphaHot = 11.6;           // [W/(m²·K)]
inline constexpr double kAlphaHotSlope = 0.0023;    // [1/K]
inline constexpr double kCelsiusZero = 273.0;       // [K]
inline constexpr double kAlphaCold = 4.07;          // [W/(m²·K^(4/3))]
inline constexpr double kWallHeatShare = 0.2;       // surface-temperature rise per layer rise [-]
inline constexpr double kWallHeatQuad = 0.00065;    // quadratic surface-temperature term [1/K]

// Run
inline constexpr double kRefreshMs = 200.0;         // progress refresh interval of wall-clock time [ms]
inline constexpr double kInitialVisibility = kMaxVisibility;  // clear air: as far as the cap [m]

}  // namespace zf
