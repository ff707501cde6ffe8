#include "report_builder.h"

#include <QCryptographicHash>
#include <QLocale>
#include <algorithm>

#include "critical_times.h"
#include "report_inputs.h"
#include "report_text.h"  // VerdictColour
#include "number_format.h"
#include "project/element_inputs.h"
#include "project/fire_loads.h"
#include "project/document.h"
#include "project/scenario_file.h"
#include "model/constants.h"
#include "model/inputs.h"

namespace zfpdf {

void ReportBuilder::TitlePage() {
    Html(QStringLiteral("<h1>Отчет о расчете времени блокирования путей эвакуации</h1>"));
    // A stopped or failed run says so before anything else, as the results window does.
    const zfreport::RunReach reach = zfreport::RunReachOf(zm_);
    if (const std::string banner = zfreport::RunEndBanner(reach, num_(reach.Time).toStdString()); !banner.empty())
        Html(QStringLiteral("<p style=\"background-color: %1\"><b>%2</b></p>")
                 .arg(VerdictColour(zfreport::Verdict::Undetermined).name(), Esc(QString::fromStdString(banner))));
    const QString sha = QString::fromLatin1(QCryptographicHash::hash(ScenarioBytes(zm_, d_), QCryptographicHash::Sha256).toHex());
    // The object and who made the calculation, in the order of the project file's texts.
    const QString given[] = {d_.Title, d_.Address, d_.Organisation, d_.Author};
    static_assert(std::size(given) == std::size(zf::project::kObjectFields));
    std::vector<std::vector<QString>> rows = {{QStringLiteral("Сведение"), QStringLiteral("Значение")}};
    for (std::size_t i = 0; i < std::size(given); ++i)
        rows.push_back({Utf8(zf::project::kObjectFields[i].Caption), given[i].isEmpty() ? QStringLiteral("не указано") : given[i]});
    rows.insert(rows.end(), {
        {QStringLiteral("Дата отчета"), ReportLocale().toString(stamp_.Made, QStringLiteral("dd.MM.yyyy HH:mm"))},
        {QStringLiteral("Программа"), QStringLiteral("zonefire, версия ") + stamp_.Version},
        {QStringLiteral("Модель"), ModelText(zm_)},
        {QStringLiteral("Файл сценария"), d_.FileName.isEmpty() ? QStringLiteral("не сохранен") : d_.FileName},
        {QStringLiteral("SHA-256 сценария"), sha},
        {QStringLiteral("Состояние расчета"), RunStateText(zm_)},
    });
    // The sum in a typewriter face: it has no ligatures, so "ff" is copied from the PDF as two
    // letters and the sum compares with sha256sum's.
    Html(HtmlTable(ToCells(rows)).replace(sha, QStringLiteral("<span style=\"font-family: '%1'\">%2</span>").arg(kFixedFont, sha)));
    if (!d_.Notes.isEmpty())
        Html(QStringLiteral("<p><b>Примечания:</b><br>%1</p>").arg(Esc(d_.Notes).replace('\n', QStringLiteral("<br>"))));
    Html(QStringLiteral("<p><b>%1</b></p>").arg(Esc(summary_.BuildingLine)));
    Html(Paragraph(QStringLiteral("Хеш SHA-256 вычислен по байтам файла сценария (или, если файл не сохранен, по "
                                  "сценарию в формате файла); по нему можно убедиться, что отчет относится к "
                                  "этому файлу.")));
}

void ReportBuilder::Inputs() {
    Section(QStringLiteral("1. Исходные данные"), true);
    InputsTable();
    CriticalValues();
    EvacuationTimes();
}

namespace {

std::vector<std::vector<QString>> LineRows(const std::vector<InputLine>& lines) {
    std::vector<std::vector<QString>> rows = {{QStringLiteral("Обозн."), QStringLiteral("Величина"),
                                               QStringLiteral("Значение"), QStringLiteral("Ед. изм."),
                                               QStringLiteral("Источник")}};
    for (const InputLine& l : lines) rows.push_back({l.Symbol, l.Name, l.Value, l.Unit, l.Source});
    return rows;
}

bool AnyChanged(const std::vector<InputLine>& lines) {
    return std::any_of(lines.begin(), lines.end(), [](const InputLine& l) { return l.Changed; });
}

}  // namespace

// The fire load, the initial conditions and the run's settings, then the model's options; a
// value that is not the program's default is marked.
void ReportBuilder::InputsTable() {
    Html(QStringLiteral("<h3>Пожарная нагрузка, начальные условия и параметры расчета</h3>"));
    const std::vector<InputLine> settings = SettingLines(zm_, d_);
    Html(HtmlTable(ToCells(LineRows(settings)), {}, {10, 34, 16, 11, 29}));
    if (const std::string note = zf::project::FireLoadNote(d_.FireLoad.toStdString(), zf::project::Capture(zm_).Params);
        !note.empty())
        Html(Paragraph(QString::fromStdString(note)));
    Html(QStringLiteral("<h3>Варианты модели</h3>"));
    const std::vector<InputLine> options = OptionLines(zm_);
    Html(HtmlTable(ToCells(LineRows(options)), {}, {10, 34, 16, 11, 29}));
    if (AnyChanged(settings) || AnyChanged(options)) Html(Paragraph(ChangedFootnote()));
}

// The limits the critical times were judged by; one the user changed is marked and its
// default given beside it.
void ReportBuilder::CriticalValues() {
    Html(QStringLiteral("<h3>Критические значения опасных факторов пожара (ОФП) в рабочей зоне</h3>"));
    std::vector<std::vector<QString>> crit = {{QStringLiteral("Обозначение"), QStringLiteral("Величина"),
                                               QStringLiteral("Опасно значение"), QStringLiteral("Значение"),
                                               QStringLiteral("Ед. изм."), QStringLiteral("Источник")}};
    bool changed = false;
    for (const zf::Input& input : zf::kInputs) {
        if (input.Group != zf::InputGroup::Critical) continue;
        const InputLine line = LineOf(input, zm_, {});
        changed = changed || line.Changed;
        crit.push_back({line.Symbol, line.Name, input.ReachedFalling ? QStringLiteral("не выше") : QStringLiteral("не ниже"),
                        line.Value, line.Unit, line.Source});
    }
    Html(HtmlTable(ToCells(crit)));
    if (changed)
        Html(Paragraph(QStringLiteral("* — критическое значение изменено пользователем; критические времена и вывод "
                                      "об эвакуации получены с ним.")));
}

void ReportBuilder::EvacuationTimes() {
    const QString user = QStringLiteral("задано пользователем (файл сценария)");
    Html(QStringLiteral("<h3>Время эвакуации</h3>"));
    if (!d_.Evacuation.Any()) {
        Html(Paragraph(QStringLiteral("Время начала эвакуации t_нэ и время эвакуации t_р не заданы.")));
        return;
    }
    using zf::project::kEvacuationInputs;
    std::vector<std::vector<QString>> evac = {{QStringLiteral("Помещение"), Utf8(kEvacuationInputs[0].Caption),
                                               Utf8(kEvacuationInputs[1].Caption), QStringLiteral("Источник")}};
    for (int i = 0; i < zm_.RoomCount(); ++i) {
        const auto e = d_.Evacuation.Room(i);
        evac.push_back({RoomCaption(d_, i), e ? num_(e->StartDelay) : QStringLiteral("—"),
                        e ? num_(e->Duration) : QStringLiteral("—"), e ? user : QStringLiteral("не задано")});
    }
    Html(HtmlTable(ToCells(evac)));
}

void ReportBuilder::Building() {
    Section(QStringLiteral("2. Здание"), false);
    using zf::project::kOpeningInputs, zf::project::kRoomInputs, zf::project::RowOf;
    const std::vector<std::string> names = d_.RoomNameList();
    Html(Paragraph(QString::fromStdString(zf::RoomTitle(0)) + QStringLiteral(" — помещение очага пожара.")));
    std::vector<std::vector<QString>> rooms = {{QStringLiteral("№"), QStringLiteral("Название"),
                                                Utf8(zf::project::SizesCaption(kRoomInputs)),
                                                QStringLiteral("Площадь пола, м²"), QStringLiteral("Объем, м³")}};
    for (int i = 0; i < zm_.RoomCount(); ++i) {
        const zf::TRoom& r = zm_.Room(i);
        const QString name = QString::fromStdString(std::string(zfreport::RoomNameOf(names, i)));
        rooms.push_back({QString::number(i + 1), name.isEmpty() ? QStringLiteral("—") : name,
                         num_(r.Length) + QStringLiteral(" × ") + num_(r.Width) + QStringLiteral(" × ") + num_(r.Height),
                         num_(r.Length * r.Width), num_(r.Length * r.Width * r.Height)});
    }
    Html(HtmlTable(ToCells(rooms)));

    Html(QStringLiteral("<h3>Проемы</h3>"));
    // A doorway is stored once from each side; the upper triangle of the matrix lists each
    // once, its diagonal the openings to the outside.
    // One row per opening; "1 из 2" numbers the openings of a pair and gives their count.
    std::vector<std::vector<QString>> openings = {{QStringLiteral("Соединяет"), QStringLiteral("Проем"),
                                                   Utf8(zf::project::SizesCaption({RowOf(kOpeningInputs, "width")->Caption,
                                                       RowOf(kOpeningInputs, "height")->Caption})),
                                                   QStringLiteral("Состояние")}};
    for (int a = 0; a < zm_.RoomCount(); ++a)
        for (int b = a; b < zm_.RoomCount(); ++b) {
            const zf::TProems& cell = zm_.Cell(a, b);
            if (cell.empty()) continue;
            const QString joins = a == b ? QStringLiteral("№%1 — наружу").arg(a + 1)
                                         : QStringLiteral("№%1 — №%2").arg(a + 1).arg(b + 1);
            for (std::size_t k = 0; k < cell.size(); ++k)
                openings.push_back({joins, QStringLiteral("%1 из %2").arg(k + 1).arg(cell.size()),
                                    num_(cell[k]->Width) + QStringLiteral(" × ") + num_(cell[k]->Height),
                                    cell[k]->IsOpen ? QStringLiteral("открыт") : QStringLiteral("закрыт")});
        }
    if (openings.size() == 1) {
        Html(Paragraph(QStringLiteral("Проемов между помещениями и наружу нет (учтены только неплотности ограждений).")));
    } else {
        Html(HtmlTable(ToCells(openings)));
    }
    Leaks();
}

// The gaps of every room's enclosure, which the run adds as one closed opening to the outside
// at the floor: kLeakHeight high and kLeakWidthPerSide per metre of (length + width) wide.
void ReportBuilder::Leaks() {
    if (zm_.RoomCount() == 0) return;
    Html(QStringLiteral("<h3>Неплотности ограждений</h3>"));
    Html(Paragraph(QStringLiteral("Кроме перечисленных проемов, расчет учитывает неплотности ограждения каждого "
                                  "помещения: щель наружу у пола высотой %1 м и шириной %2·(длина + ширина) м, "
                                  "через которую газ проходит так же, как через щели закрытого проема.")
                       .arg(num_(zf::kLeakHeight), num_(zf::kLeakWidthPerSide))));
    std::vector<std::vector<QString>> leaks = {{QStringLiteral("Помещение"), QStringLiteral("Ширина × высота щели, м")}};
    const std::vector<std::string> names = d_.RoomNameList();
    for (int i = 0; i < zm_.RoomCount(); ++i) {
        const zf::TRoom& r = zm_.Room(i);
        const double width = (r.Length + r.Width) * zf::kLeakWidthPerSide;  // [m]
        leaks.push_back({ShortRoomLabel(names, i), num_(width) + QStringLiteral(" × ") + num_(zf::kLeakHeight)});
    }
    Html(HtmlTable(ToCells(leaks)));
}

}  // namespace zfpdf
