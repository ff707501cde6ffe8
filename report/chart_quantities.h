#pragma once
// The quantities a room's results are shown by, in the results window and in the report alike:
// the layer parameters of the first list and the hazard factors of the second, each with its
// list item, chart title, the position of its value in a recorded sample, its word in a saved
// file's name and its axis and column title.

namespace zfreport {

struct QuantityView {
    const char* Item;
    const char* Title;
    int Element;             // in zf::TRoom::Samples' records
    const char* FileWord;
    // The axis and column title, symbol and unit as printed texts write them ("T2, К", "ρ2, кг/м³"),
    // in the window and on paper alike.
    const char* Label;
};

// The first list: area, plume flow, interface height, density, temperature, doorway flow.
extern const QuantityView kParameterViews[6];
inline constexpr int kParameterCount = 6;
inline constexpr int kInterfaceHeightItem = 2;     // the interface height Yк
inline constexpr int kLayerTemperatureItem = 4;    // the smoke layer's temperature T2
// Item 1 outside the fire room: there the gas comes in through the doorways, not from a plume.
inline constexpr const char* kInflowItem = "Поступление газа через проемы";
inline constexpr const char* kInflowFileWord = "поступление_газа";

// The second list, indexed by zf::HazardKind.
extern const QuantityView kHazardViews[7];

// The view of one item of either list; an index beyond the list takes its nearest item.
const QuantityView& ViewOf(bool hazard, int index);

inline constexpr const char* kTimeTitle = "t, с.";
inline constexpr const char* kPrintTimeTitle = "t, с";
inline constexpr const char* kCritSeriesName = "Время наступления критического значения ОФП";
// Written where the critical time would be when the room never reached the limit.
inline constexpr const char* kLimitNotReached = "Критическое значение не достигнуто";

}  // namespace zfreport
