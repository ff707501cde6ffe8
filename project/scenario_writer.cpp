// Writing a scenario file: a document → its JSON text, laid out for a person to read and
// diff (one key per line, one room or opening per line), the same bytes for the same document.

#include <cmath>
#include <stdexcept>

#include "project/element_inputs.h"
#include "project/file_text.h"
#include "project/fire_loads.h"
#include "project/scenario_file.h"
#include "project/route_file.h"
#include "project/surface_file.h"

namespace zf::project {
namespace {

// Builds the text of one JSON object member by member: `"key": value` joined by ", " on one
// line or by ",\n" plus an indent over several.
class Members {
public:
    explicit Members(std::string separator) : separator_(std::move(separator)) {}

    void Add(std::string_view key, const std::string& value) {
        if (!text_.empty()) text_ += separator_;
        text_ += JsonString(key) + ": " + value;
    }
    void AddText(std::string_view key, const std::string& value) {
        if (!value.empty()) Add(key, JsonString(value));  // an empty text is left out
    }
    const std::string& Text() const { return text_; }

private:
    std::string separator_;
    std::string text_;
};

// A number the reader takes back: finite and not negative; −0 is written as 0.
std::string Number(double value, const std::string& owner, std::string_view key) {
    if (!std::isfinite(value) || value < 0)
        throw std::invalid_argument(Place(owner, key) + ": число " + NumberText(value) +
                                    " нельзя записать в файл сценария (ожидается неотрицательное конечное число)");
    return NumberText(value == 0 ? 0.0 : value);
}

// An element's numbers of `table`, each refused outside its range as the reader would.
template <class Owner, std::size_t N>
void AddNumbers(Members& m, const ElementInput<Owner> (&table)[N], const Owner& from, const std::string& owner) {
    for (const ElementInput<Owner>& input : table) {
        m.Add(input.Key, Number(from.*input.Field, owner, input.Key));
        if (const std::string why = OutOfRange(input, from.*input.Field); !why.empty())
            throw std::invalid_argument(Place(owner, input.Key) + ": " + why);
    }
}

std::string RoomNumber(int index, std::size_t roomCount, const std::string& owner) {
    if (index < 0 || static_cast<std::size_t>(index) >= roomCount)
        throw std::invalid_argument(Place(owner, "rooms") + ": нет помещения с номером " + std::to_string(index + 1));
    return std::to_string(index + 1);
}

std::string WriteRoom(const Room& room, const std::string& owner) {
    Members m(", ");
    AddNumbers(m, kRoomInputs, room, owner);
    m.AddText("name", room.Name);
    if (room.Walls) m.Add("walls", WriteSurface(*room.Walls, owner, "walls"));
    if (room.Ceiling) m.Add("ceiling", WriteSurface(*room.Ceiling, owner, "ceiling"));
    if (room.Evacuation) {
        Members evacuation(", ");
        AddNumbers(evacuation, kEvacuationInputs, *room.Evacuation, Place(owner, "evacuation"));
        m.Add("evacuation", "{" + evacuation.Text() + "}");
    }
    return "{" + m.Text() + "}";
}

std::string WriteOpening(const Opening& opening, std::size_t roomCount, const std::string& owner) {
    Members m(", ");
    m.Add("rooms", "[" + RoomNumber(opening.From, roomCount, owner) + ", " + RoomNumber(opening.To, roomCount, owner) + "]");
    AddNumbers(m, kOpeningInputs, opening, owner);
    m.Add("open", opening.Open ? "true" : "false");
    return "{" + m.Text() + "}";
}

// A list with one element per line, or "[]".
std::string List(const std::vector<std::string>& elements) {
    if (elements.empty()) return "[]";
    std::string text = "[\n";
    for (std::size_t i = 0; i < elements.size(); ++i) text += "    " + elements[i] + (i + 1 < elements.size() ? ",\n" : "\n");
    return text + "  ]";
}

std::string WriteTop(const Document& d) {
    Members m(",\n  ");
    m.Add("format", JsonString(kFormatName));
    m.Add("version", std::to_string(d.FormatVersion()));
    for (const ObjectField& field : kObjectFields) m.AddText(field.Key, d.*field.Text);
    m.AddText("notes", d.Notes);
    if (!d.FireLoad.empty() && FindFireLoad(d.FireLoad) == nullptr)
        throw std::invalid_argument(UnknownFireLoadMessage(d.FireLoad));
    m.AddText("fire_load", d.FireLoad);
    for (const zf::Input& input : zf::kInputs) {
        const double value = d.Params.*input.Field;
        if (input.OmittedAtDefault && value == input.Default) continue;
        m.Add(input.Key, Number(value, {}, input.Key));
        if (const std::string why = zf::OutOfRange(input, value); !why.empty())
            throw std::invalid_argument(Place({}, input.Key) + ": " + why);
    }
    if (d.Params.SamplesPerSec < 1)
        throw std::invalid_argument("ключ \"SamplesPerSec\": число отсчетов в секунду " +
                                    std::to_string(d.Params.SamplesPerSec) + " меньше 1");
    m.Add("SamplesPerSec", std::to_string(d.Params.SamplesPerSec));
    m.Add("plume", d.Params.UseTanaka ? "\"tanaka\"" : "\"mccaffrey\"");
    // The safety factor only when it is not the usual 0,8: files without inputs stay as they were.
    if (const std::string bad = zfreport::CheckSafetyFactor(d.SafetyFactor); !bad.empty())
        throw std::invalid_argument("ключ \"safety_factor\": " + bad);
    if (d.SafetyFactor != zfreport::kDefaultSafetyFactor) m.Add("safety_factor", NumberText(d.SafetyFactor));
    for (const ModelSwitch& option : kModelSwitches)
        if (option.Flag && d.*option.Flag) m.Add(option.Key, "true");
    if (d.HeatLoss) m.Add("heat_loss", WriteHeatLoss(*d.HeatLoss));
    // Past these limits the reader refuses the file.
    if (d.Rooms.size() > static_cast<std::size_t>(kMaxRooms))
        throw std::invalid_argument("ключ \"rooms\": слишком много помещений, допустимо не более " + std::to_string(kMaxRooms));
    if (d.Openings.size() > static_cast<std::size_t>(kMaxOpenings))
        throw std::invalid_argument("ключ \"openings\": слишком много проемов, допустимо не более " +
                                    std::to_string(kMaxOpenings));
    std::vector<std::string> rooms, openings;
    for (std::size_t i = 0; i < d.Rooms.size(); ++i) rooms.push_back(WriteRoom(d.Rooms[i], RoomOwner(i)));
    for (std::size_t i = 0; i < d.Openings.size(); ++i)
        openings.push_back(WriteOpening(d.Openings[i], d.Rooms.size(), OpeningOwner(i)));
    m.Add("rooms", List(rooms));
    m.Add("openings", List(openings));
    if (!d.Routes.empty()) m.Add("evacuation_routes", List(WriteRoutes(d.Routes)));
    return "{\n  " + m.Text() + "\n}\n";
}

}  // namespace

std::string WriteDocument(const Document& document) { return WriteTop(document); }

}  // namespace zf::project
