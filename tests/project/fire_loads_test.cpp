// The fire-load library: every shipped row loads and fills the fire-load inputs, the table's
// checks refuse what a real fire load cannot be, and the scenario file's "fire_load" key.

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "project/fire_loads.h"
#include "project/scenario_file.h"

namespace {

using zf::project::BuiltInFireLoads;
using zf::project::Document;
using zf::project::FireLoad;
using zf::project::ReadDocument;
using zf::project::ReadFireLoadTable;

const std::string kHeader =
    "name,description,source_as_cited,Qn_kJ_per_kg,v_m_per_s,psi_kg_per_m2s,Dm_Np_m2_per_kg,"
    "LO2_kg_per_kg,LCO2_kg_per_kg,LCO_kg_per_kg,LHCl_kg_per_kg\n";
// A good row: the furniture load the main window starts from.
const std::string kGoodRow = "Мебель,\"Мебель, бытовые изделия\",Табл. 1,13800,0.0108,0.0145,270,1.03,0.203,0.0022,0.014\n";

std::string ShippedTableText() {
    std::ifstream in(ZONEFIRE_FIRE_LOAD_CSV, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(FireLoadLibrary, TheBuiltInTableIsTheShippedFileAndLoadsWhole) {
    EXPECT_EQ(zf::project::BuiltInFireLoadError(), std::nullopt);
    std::vector<FireLoad> shipped;
    ASSERT_EQ(ReadFireLoadTable(ShippedTableText(), shipped), std::nullopt);
    ASSERT_EQ(shipped.size(), BuiltInFireLoads().size());
    // 82 rows in the published collection, less the toluene row its CO2 yield refuses.
    EXPECT_EQ(shipped.size(), 81u);
    for (std::size_t i = 0; i < shipped.size(); ++i) EXPECT_EQ(shipped[i].Name, BuiltInFireLoads()[i].Name);
}

TEST(FireLoadLibrary, TheMainWindowsDefaultsAreTheFurnitureRowOfFireResistanceOneToTwo) {
    const FireLoad* row = zf::project::FindFireLoad("Мебель+бытовые изд.(I-II ст.)");
    ASSERT_NE(row, nullptr);
    EXPECT_TRUE(zf::project::ChangedFromFireLoad(zf::project::Parameters{}, *row).empty());
}

TEST(FireLoadLibrary, QuotedCellsKeepTheirCommasAndTheHeatOfCombustionBecomesJoulesPerKilogram) {
    std::vector<FireLoad> rows;
    ASSERT_EQ(ReadFireLoadTable(kHeader + kGoodRow, rows), std::nullopt);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Description, "Мебель, бытовые изделия");
    EXPECT_EQ(rows[0].Qn, 13800000);
    EXPECT_EQ(rows[0].Lco2, 0.203);
}

// Every shipped row, by its index: the scenario file's "fire_load" puts the row's values into
// the eight inputs and names it; the other inputs keep their defaults.
class EveryRow : public testing::TestWithParam<std::size_t> {};

TEST_P(EveryRow, FillsTheFireLoadInputsFromTheFile) {
    const FireLoad& row = BuiltInFireLoads().at(GetParam());
    Document document;
    ASSERT_EQ(ReadDocument("{\"fire_load\": \"" + row.Name + "\"}", document), std::nullopt) << row.Name;
    EXPECT_EQ(document.FireLoad, row.Name);
    EXPECT_TRUE(zf::project::ChangedFromFireLoad(document.Params, row).empty()) << row.Name;
    EXPECT_EQ(document.Params.Nu, zf::project::Parameters{}.Nu);
    EXPECT_EQ(document.Params.T0, zf::project::Parameters{}.T0);
    // Written and read again: the same document, name and values alike.
    Document again;
    ASSERT_EQ(ReadDocument(zf::project::WriteDocument(document), again), std::nullopt);
    EXPECT_EQ(again, document);
}

INSTANTIATE_TEST_SUITE_P(FireLoadLibrary, EveryRow, testing::Range<std::size_t>(0, 81));

// A refused table: the text of its rows after the header, and what the message must name.
struct BadTable {
    const char* Why;
    std::string Rows;
    std::string Named;
};

class RefusedTable : public testing::TestWithParam<BadTable> {};

TEST_P(RefusedTable, NamesTheLineTheColumnAndTheRange) {
    std::vector<FireLoad> rows(1);
    rows[0].Name = "keep";
    const auto message = ReadFireLoadTable(kHeader + GetParam().Rows, rows);
    ASSERT_TRUE(message.has_value()) << GetParam().Why;
    EXPECT_NE(message->find(GetParam().Named), std::string::npos) << *message;
    ASSERT_EQ(rows.size(), 1u);  // left as it was
    EXPECT_EQ(rows[0].Name, "keep");
}

INSTANTIATE_TEST_SUITE_P(
    FireLoadLibrary, RefusedTable,
    testing::Values(
        BadTable{"heat of combustion typed in J/kg", "A,a,s,13800000,0.01,0.01,50,1,1,0.01,0\n",
                 "строка 2, столбец \"Qn_kJ_per_kg\" (низшая теплота сгорания, кДж/кг): 13800000 вне пределов [1000; 50000]"},
        BadTable{"heat of combustion typed in MJ/kg", "A,a,s,13.8,0.01,0.01,50,1,1,0.01,0\n", "\"Qn_kJ_per_kg\""},
        BadTable{"more CO2 than carbon can give (toluene's 3.677)", "A,a,s,40900,0,0.043,562,3.098,3.677,0.148,0\n",
                 "\"LCO2_kg_per_kg\" (выделение CO2, кг/кг): 3.677 вне пределов [0; 3.66"},
        BadTable{"more CO than carbon can give", "A,a,s,40900,0,0.043,562,3,1,2.4,0\n", "\"LCO_kg_per_kg\""},
        BadTable{"more HCl than chlorine can give", "A,a,s,20000,0,0.043,562,3,1,0.1,1.2\n", "\"LHCl_kg_per_kg\""},
        BadTable{"more oxygen than hydrogen takes", "A,a,s,20000,0,0.043,562,8.5,1,0.1,0\n", "\"LO2_kg_per_kg\""},
        BadTable{"a fire that never burns", "A,a,s,20000,0.01,0,50,1,1,0.01,0\n", "\"psi_kg_per_m2s\""},
        BadTable{"negative flame spread", "A,a,s,20000,-0.01,0.01,50,1,1,0.01,0\n", "\"v_m_per_s\""},
        BadTable{"decimal comma", "A,a,s,20000,\"0,01\",0.01,50,1,1,0.01,0\n",
                 "ожидается число с десятичной точкой, а задано: \"0,01\""},
        BadTable{"a cell too many", "A,a,s,20000,0.01,0.01,50,1,1,0.01,0,7\n", "строка 2: 12 ячеек вместо 11"},
        BadTable{"unclosed quote", "A,\"a,s,20000,0.01,0.01,50,1,1,0.01,0\n", "строка 2: кавычка не закрыта"},
        BadTable{"no name", ",a,s,20000,0.01,0.01,50,1,1,0.01,0\n", "не задано название"},
        BadTable{"no source", "A,a,,20000,0.01,0.01,50,1,1,0.01,0\n", "не указан источник"},
        BadTable{"a name twice", kGoodRow + kGoodRow, "строка 3: название \"Мебель\" уже было"}));

TEST(FireLoadLibrary, AHeaderWithoutTheUnitsIsRefused) {
    std::vector<FireLoad> rows;
    const auto message = ReadFireLoadTable("name,description,source_as_cited,Qn,v,psi,Dm,LO2,LCO2,LCO,LHCl\n" + kGoodRow, rows);
    ASSERT_TRUE(message.has_value());
    EXPECT_NE(message->find("строка 1: заголовок должен назвать столбцы с их единицами"), std::string::npos) << *message;
}

TEST(FireLoadKey, NumbersBesideTheNameOverrideItsValuesAndTheNameStays) {
    Document document;
    ASSERT_EQ(ReadDocument(R"({"fire_load": "Магазин", "Vlin": 0.02})", document), std::nullopt);
    const FireLoad* shop = zf::project::FindFireLoad("Магазин");
    ASSERT_NE(shop, nullptr);
    EXPECT_EQ(document.FireLoad, "Магазин");
    EXPECT_EQ(document.Params.Vlin, 0.02);
    EXPECT_EQ(document.Params.Qn, shop->Qn);
    EXPECT_EQ(zf::project::ChangedFromFireLoad(document.Params, *shop), std::vector<std::string_view>{"Vlin"});
}

TEST(FireLoadKey, AnUnknownNameIsRefusedAndSaysWhereTheNamesAre) {
    Document document;
    const auto message = ReadDocument(R"({"fire_load": "магазин"})", document);
    ASSERT_TRUE(message.has_value());
    EXPECT_NE(message->find("ключ \"fire_load\": в библиотеке нет типовой пожарной нагрузки \"магазин\""), std::string::npos)
        << *message;
    EXPECT_NE(message->find("zonefire-cli --fire-loads"), std::string::npos);
}

TEST(FireLoadKey, NotTextIsRefused) {
    Document document;
    const auto message = ReadDocument(R"({"fire_load": 5})", document);
    ASSERT_TRUE(message.has_value());
    EXPECT_NE(message->find("ключ \"fire_load\": ожидается строка"), std::string::npos) << *message;
}

TEST(FireLoadKey, TheWriterRefusesANameTheReaderWouldRefuse) {
    Document document;
    document.FireLoad = "Нет такой";
    EXPECT_THROW(zf::project::WriteDocument(document), std::invalid_argument);
}
