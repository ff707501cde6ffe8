// Every row of the element tables in one list, with its full path.

#include "project/element_inputs.h"

namespace zf::project {
namespace {

template <class Owner, std::size_t N>
void AddRows(std::vector<ElementRow>& rows, std::string_view path, const ElementInput<Owner> (&table)[N]) {
    for (const ElementInput<Owner>& in : table)
        rows.push_back({std::string(path) + std::string(in.Key), in.Caption, in.Name, in.Unit, in.Help, in.Default, in.Min,
                        in.Max, in.MinExcluded, in.Required});
}

// A word with its first letter in lower case, where it is a capital Latin or Cyrillic letter
// (А–П: D0 90–9F → D0 B0–BF; Р–Я: D0 A0–AF → D1 80–8F in UTF-8).
std::string LowerFirst(std::string_view word) {
    std::string text(word);
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') text[0] = static_cast<char>(text[0] - 'A' + 'a');
    if (text.size() < 2 || static_cast<unsigned char>(text[0]) != 0xD0) return text;
    const auto second = static_cast<unsigned char>(text[1]);
    if (second >= 0x90 && second <= 0x9F) text[1] = static_cast<char>(second + 0x20);
    if (second >= 0xA0 && second <= 0xAF) text[0] = static_cast<char>(0xD1), text[1] = static_cast<char>(second - 0x20);
    return text;
}

}  // namespace

std::string SizesCaption(std::span<const std::string_view> captions) {
    std::string text, unit;
    for (std::string_view caption : captions) {
        const std::size_t comma = caption.find(", ");
        const std::string_view word = caption.substr(0, comma);
        text += text.empty() ? std::string(word) : " × " + LowerFirst(word);
        if (comma != std::string_view::npos) unit = std::string(caption.substr(comma));
    }
    return text + unit;
}

std::vector<ElementRow> ElementRows() {
    std::vector<ElementRow> rows;
    AddRows(rows, "rooms[i].", kRoomInputs);
    AddRows(rows, "rooms[i].evacuation.", kEvacuationInputs);
    AddRows(rows, "openings[k].", kOpeningInputs);
    AddRows(rows, "evacuation_routes[r].", kRouteInputs);
    AddRows(rows, "evacuation_routes[r].segments[s].", kSegmentInputs);
    AddRows(rows, "heat_loss.", kHeatLossInputs);
    AddRows(rows, "walls|ceiling.", kLayerInputs);
    AddRows(rows, "walls|ceiling.material.", kMaterialInputs);
    return rows;
}

}  // namespace zf::project
