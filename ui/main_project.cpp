// The main window's building as a project file: the "Файл" menu (new, open, save, save as,
// recent files, the last calculated building, exit), the "Правка" menu (undo and redo of the
// editor's operations), edit in place, drag and drop, and the caption.

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTableWidget>
#include <QUndoCommand>
#include <QUndoStack>
#include <stdexcept>
#include <string>

#include "critical_times.h"
#include "dialog_fields.h"
#include "number_text.h"
#include "project/scenario_file.h"
#include "u_AddDoor.h"
#include "u_AddRoom.h"
#include "u_Building.h"
#include "u_ShowResult.h"
#include "u_progress.h"
#include "study_window.h"
#include "u_main.h"
#include "ui_u_main.h"
#include "model/inputs.h"
#include "model/number_text.h"
#include "model/room.h"

using zf::project::Document;

namespace {

constexpr int kRecentFiles = 5;
constexpr const char* kRecentFilesKey = "recentFiles";
constexpr const char* kFileFilter = "Сценарии (*.json);;Все файлы (*)";
constexpr const char* kReportFilter = "Документ PDF (*.pdf)";

// The parameter fields of the input table (model/inputs.h) and the document's numbers they
// hold, in the table's order.
struct Field {
    QLineEdit* Edit;
    double zf::project::Parameters::*Value;
    const zf::Input* Input;
};

std::vector<Field> Fields(const QWidget& window) {
    std::vector<Field> fields;
    for (const zf::Input& input : zf::kInputs)
        if (!input.Widget.empty())
            if (auto* edit = window.findChild<QLineEdit*>(QString::fromUtf8(input.Widget.data(), static_cast<qsizetype>(input.Widget.size()))))
                fields.push_back({edit, input.Field, &input});
    return fields;
}

// A number as a field or a dialog shows it for editing: the shortest digits that read back to
// the same double, in plain notation (the entry takes digits and one separator, no exponent),
// with the locale's decimal separator. The general format's 15 digits could change the value.
QString ExactNumberText(double value) {
    return QString::fromStdString(zf::PlainNumberText(value, QLocale().decimalPoint().toStdString()));
}

// Writes the text to a temporary file beside `path` and renames it over `path` only when all of
// it was written: a failure leaves the old file as it was and gives the reason. Unbuffered, so
// a short write (a full disk, a size limit) is seen at once rather than lost in a later flush.
bool WriteWhole(const QString& path, const std::string& text, QString* reason) {
    // The file put in place keeps the permissions the old one had.
    const QFileInfo old(path);
    const bool existed = old.exists();
    const QFileDevice::Permissions permissions = old.permissions();
    QSaveFile file(path);
    const auto size = static_cast<qint64>(text.size());
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(text.data(), size) == size && file.commit()) {
        if (existed) QFile::setPermissions(path, permissions);
        return true;
    }
    *reason = file.errorString();
    file.cancelWriting();
    return false;
}

// Why the building cannot be saved at `path`, judged from the mode bits rather than from the
// right to write, so that a file or folder marked read-only is respected by every user: "" when
// it can.
QString ReadOnlyReason(const QString& path) {
    const QFileInfo file(path);
    if (file.exists() && !(file.permissions() & QFileDevice::WriteOwner))
        return QStringLiteral("файл доступен только для чтения. Снимите этот признак или сохраните здание под другим "
                              "именем («Сохранить как...»)");
    const QFileInfo folder(file.absolutePath());
    if (!file.exists() && folder.exists() && !(folder.permissions() & QFileDevice::WriteOwner))
        return QStringLiteral("папка «%1» доступна только для чтения. Сохраните здание в другую папку («Сохранить как...»)")
            .arg(folder.absoluteFilePath());
    return {};
}

QString DisplayName(const QString& path) {
    return path.isEmpty() ? QStringLiteral("Без имени") : QFileInfo(path).fileName();
}

}  // namespace

// One editor operation in the history: the building before and after it. Undo and redo put
// the whole building back, which keeps every face of the opening matrix in its place.
// The matrix's current cell goes back with it, so the grids show what they showed.
class TBuildingEdit : public QUndoCommand {
public:
    struct State {
        Document Building;
        QPoint Cell;  // the matrix's current cell: x = column, y = row
    };
    TBuildingEdit(Tf_main& window, const QString& text, State before, State after)
        : QUndoCommand(text), window_(window), before_(std::move(before)), after_(std::move(after)) {}

    void undo() override { window_.SetBuilding(before_.Building, before_.Cell); }
    void redo() override {
        // The operation itself made the first "after"; QUndoStack::push calls redo once.
        if (done_) window_.SetBuilding(after_.Building, after_.Cell);
        done_ = true;
    }

private:
    Tf_main& window_;
    State before_;
    State after_;
    bool done_ = false;
};

// ---- Menus and caption ------------------------------------------------------------------------

void Tf_main::CreateMenus() {
    designedCaption_ = windowTitle();
    // The fields' first texts: a new building's defaults, with the decimal comma.
    // The captions and tips from the input table; the default to as many places as the window
    // has always shown it ("0,01450" for 0.0145).
    for (const Field& f : Fields(*this)) {
        ShowInputCaption(f.Edit, *f.Input);
        initialFieldTexts_ << QString::fromStdString(zf::PlainNumberText(f.Input->Default, ",", f.Input->FirstTextDecimals));
        f.Edit->setText(initialFieldTexts_.back());
    }
    undo_ = new QUndoStack(this);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&Файл"));
    file->setObjectName(QStringLiteral("MenuFile"));
    const auto add = [this](QMenu* menu, const char* name, const QString& text, const QKeySequence& keys, auto slot) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add(file, "ActFileNew", QStringLiteral("&Новый"), QKeySequence(Qt::CTRL | Qt::Key_N), [this] { FileNew(); });
    add(file, "ActFileOpen", QStringLiteral("&Открыть..."), QKeySequence(Qt::CTRL | Qt::Key_O), [this] { FileOpen(); });
    add(file, "ActFileSave", QStringLiteral("&Сохранить"), QKeySequence(Qt::CTRL | Qt::Key_S), [this] { FileSave(); });
    add(file, "ActFileSaveAs", QStringLiteral("Сохранить &как..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
        [this] { FileSaveAs(); });
    add(file, "ActFileReport", QStringLiteral("О&тчет..."), QKeySequence(Qt::CTRL | Qt::Key_P), [this] { FileReport(); })
        ->setStatusTip(QStringLiteral("Рассчитать здание и сохранить отчет в PDF; здание остается в редакторе"));
    file->addSeparator();
    QAction* study = add(file, "ActOpenStudy", QStringLiteral("Открыть &исследование..."), QKeySequence(), [this] { OpenStudy(); });
    // An unfamiliar word in the menu: the tip says what a study is and what opening one shows.
    const QString studyTip = QStringLiteral(
        "Открыть итоги исследования — серии расчетов одного здания с разбросом исходных данных "
        "(zonefire-cli study): разброс времени блокирования по помещениям, доли выводов «опасно» и "
        "«не определено» и влияние каждой исходной величины; любой расчет серии можно открыть как здание");
    study->setStatusTip(studyTip);
    study->setToolTip(studyTip);
    file->addSeparator();
    for (int i = 0; i < kRecentFiles; ++i) {
        QAction* recent = file->addAction(QString());
        recent->setObjectName(QStringLiteral("ActRecent%1").arg(i + 1));
        connect(recent, &QAction::triggered, this, [this, recent] { OpenFile(recent->data().toString()); });
        recentActions_ << recent;
    }
    file->addSeparator();
    restoreAction_ = add(file, "ActRestoreLast", QStringLiteral("&Вернуть здание последнего расчета"),
                         QKeySequence(Qt::CTRL | Qt::Key_R), [this] { RestoreLastCalculation(); });
    file->addSeparator();
    add(file, "ActExit", QStringLiteral("В&ыход"), QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { close(); });

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Правка"));
    edit->setObjectName(QStringLiteral("MenuEdit"));
    QAction* undo = undo_->createUndoAction(this, QStringLiteral("Отменить"));
    undo->setObjectName(QStringLiteral("ActUndo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction* redo = undo_->createRedoAction(this, QStringLiteral("Повторить"));
    redo->setObjectName(QStringLiteral("ActRedo"));
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    edit->addAction(undo);
    edit->addAction(redo);
    edit->addSeparator();
    add(edit, "ActBuilding", QStringLiteral("&Здание..."), QKeySequence(), [this] { btnBuildingClick(); });
    add(edit, "ActEvacuation", QStringLiteral("&Эвакуация..."), QKeySequence(), [this] { btnEvacuationClick(); });
    add(edit, "ActModelOptions", QStringLiteral("&Модели расчета..."), QKeySequence(), [this] { btnModelOptionsClick(); })
        ->setStatusTip(QStringLiteral("Согласованный уход газов через проемы, теплопотери в ограждающие конструкции"));
    add(edit, "ActCriticalValues", QStringLiteral("&Критические значения..."), QKeySequence(), [this] { btnCriticalValuesClick(); })
        ->setStatusTip(QStringLiteral("Критические значения опасных факторов пожара и высота рабочей зоны"));
    add(edit, "ActCheckStep", QStringLiteral("Проверка &шага расчета..."), QKeySequence(), [this] { CheckStep(); })
        ->setStatusTip(QStringLiteral("Расчет с шагом dt и dt/2: насколько сдвигаются критические времена"));
    CreateHelpMenus();

    // The caption's "*" follows every change of the fields, the plume and the building.
    for (const Field& f : Fields(*this)) connect(f.Edit, &QLineEdit::textChanged, this, &Tf_main::UpdateCaption);
    connect(ui->rbTanaka, &QRadioButton::toggled, this, &Tf_main::UpdateCaption);
    connect(undo_, &QUndoStack::indexChanged, this, &Tf_main::UpdateCaption);

    // Edit in place: a double click on a room's row or on an opening's row.
    connect(ui->GridRoom, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { EditRoom(row - 1); });
    connect(ui->GridProem, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        EditOpening(ui->GridMatrix->currentRow() - 1, ui->GridMatrix->currentColumn() - 1, row - 1);
    });
    setAcceptDrops(true);

    // The building of the last calculation survives a restart.
    QFile last(LastCalculationPath());
    if (last.open(QIODevice::ReadOnly)) {
        const QByteArray text = last.read(static_cast<qint64>(zf::project::kMaxTextBytes) + 1);
        Document document;
        if (!zf::project::ReadDocument(std::string_view(text.constData(), static_cast<std::size_t>(text.size())), document))
            lastCalculation_ = document;
    }
    FillRecentMenu();
    UpdateActions();
}

void Tf_main::UpdateCaption() {
    if (undo_ == nullptr || zm == nullptr) return;  // during construction
    // The designed text, the file's name, and "*" while there are unsaved changes.
    const bool modified = IsModified();
    setWindowTitle(designedCaption_ + (filePath_.isEmpty() ? QString() : QStringLiteral(" — ") + DisplayName(filePath_)) +
                   (modified ? QStringLiteral("*") : QString()));
}

void Tf_main::UpdateActions() { restoreAction_->setEnabled(HasLastCalculation()); }

QStringList Tf_main::RecentFiles() const { return QSettings().value(kRecentFilesKey).toStringList(); }

void Tf_main::AddRecentFile(const QString& path) {
    QStringList files = RecentFiles();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > kRecentFiles) files.removeLast();
    QSettings().setValue(kRecentFilesKey, files);
    FillRecentMenu();
}

void Tf_main::FillRecentMenu() {
    const QStringList files = RecentFiles();
    for (int i = 0; i < recentActions_.size(); ++i) {
        QAction* action = recentActions_[i];
        action->setVisible(i < files.size());
        if (i >= files.size()) continue;
        action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(files[i]).fileName()));
        action->setToolTip(files[i]);
        action->setStatusTip(files[i]);
        action->setData(files[i]);
    }
}

// ---- The building as a document ---------------------------------------------------------------

Document Tf_main::Building() const {
    Document building;
    // What the engineer writes of the building and the safety factor change with the rooms,
    // in the same history.
    building.Title = document_.Title;
    building.Notes = document_.Notes;
    building.SafetyFactor = document_.SafetyFactor;
    // The inputs no field shows (the critical values) change in the same history.
    for (const zf::Input& input : zf::kInputs)
        if (input.Widget.empty()) building.Params.*input.Field = document_.Params.*input.Field;
    // The model options change with the rooms too (a room keeps its own walls and ceiling).
    building.ConsistentOutflow = document_.ConsistentOutflow;
    building.HeatLoss = document_.HeatLoss;
    // Names are kept per room beside the scenario; a room added to the scenario directly has none.
    building.Rooms = roomInfo_;
    building.Rooms.resize(static_cast<std::size_t>(zm->RoomCount()));
    for (int k = 0; k < zm->RoomCount(); ++k) {
        const zf::TRoom& room = *zm->Rooms[static_cast<std::size_t>(k)];
        auto& info = building.Rooms[static_cast<std::size_t>(k)];
        info.Length = room.Length;
        info.Width = room.Width;
        info.Height = room.Height;
    }
    building.Openings = zf::project::Capture(*zm).Openings;
    return building;
}

void Tf_main::SetBuilding(const Document& building, QPoint cell) {
    Document document = building;
    document.Params = zf::project::Capture(*zm).Params;
    auto fresh = std::make_unique<zf::TzoneMath>();
    zf::project::Apply(document, *fresh);
    zm = std::move(fresh);
    roomInfo_ = building.Rooms;
    document_.Title = building.Title;
    document_.Notes = building.Notes;
    document_.SafetyFactor = building.SafetyFactor;
    for (const zf::Input& input : zf::kInputs)
        if (input.Widget.empty()) document_.Params.*input.Field = building.Params.*input.Field;
    document_.ConsistentOutflow = building.ConsistentOutflow;
    document_.HeatLoss = building.HeatLoss;
    FillGridRoom();
    FillGridMatrix();
    if (cell.y() >= 1 && cell.x() >= 1 && cell.y() < ui->GridMatrix->rowCount() && cell.x() < ui->GridMatrix->columnCount())
        ui->GridMatrix->setCurrentCell(cell.y(), cell.x());
    ShowCurrentCellProems();
}

Document Tf_main::CurrentDocument() const {
    Document document = document_;
    for (const Field& f : Fields(*this)) document.Params.*f.Value = NumberFromText(f.Edit->text());
    document.Params.UseTanaka = ui->rbTanaka->isChecked();
    Document building = Building();
    document.Rooms = std::move(building.Rooms);
    document.Openings = std::move(building.Openings);
    return document;
}

bool Tf_main::IsModified() const {
    try {
        return CurrentDocument() != saved_;
    } catch (const ConversionError&) {
        return true;  // a field holding no number was typed after the last save
    }
}

void Tf_main::Edit(const QString& text, const std::function<void()>& operation) {
    const auto state = [this] {
        return TBuildingEdit::State{Building(), QPoint(ui->GridMatrix->currentColumn(), ui->GridMatrix->currentRow())};
    };
    TBuildingEdit::State before = state();
    roomInfo_.resize(static_cast<std::size_t>(zm->RoomCount()));
    operation();
    TBuildingEdit::State after = state();
    if (after.Building != before.Building)
        undo_->push(new TBuildingEdit(*this, text, std::move(before), std::move(after)));
}

void Tf_main::ReplaceBuilding(const Document& document, const QString& path) {
    document_ = document;
    {
        // One caption update at the end, not one per field.
        for (const Field& f : Fields(*this)) {
            const QSignalBlocker quietField(f.Edit);
            f.Edit->setText(ExactNumberText(document.Params.*f.Value));
        }
        const QSignalBlocker quietTanaka(ui->rbTanaka);
        (document.Params.UseTanaka ? ui->rbTanaka : ui->rbMcCaffrey)->setChecked(true);
        zm = std::make_unique<zf::TzoneMath>();
        zf::project::Apply(document, *zm);
        roomInfo_ = document.Rooms;
        undo_->clear();
    }
    filePath_ = path;
    FillGridMatrix();
    FillGridRoom();
    ShowCurrentCellProems();
    saved_ = CurrentDocument();
    UpdateCaption();
}

// ---- "Файл" -----------------------------------------------------------------------------------

QString Tf_main::AskPath(bool save, const QString& suggested) {
    if (pathAsker_) return pathAsker_(save, suggested);
    if (suggested.endsWith(QStringLiteral(".pdf")))
        return QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить отчет"), suggested, kReportFilter);
    return save ? QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить сценарий"), suggested, kFileFilter)
                : QFileDialog::getOpenFileName(this, QStringLiteral("Открыть сценарий"), suggested, kFileFilter);
}

bool Tf_main::MaybeSave() {
    if (!IsModified()) return true;
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(),
                    QStringLiteral("Здание «%1» изменено. Сохранить изменения?").arg(DisplayName(filePath_)),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setObjectName(QStringLiteral("SaveChangesBox"));
    box.button(QMessageBox::Save)->setText(QStringLiteral("Сохранить"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("Не сохранять"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Отмена"));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
        case QMessageBox::Save: return FileSave();
        case QMessageBox::Discard: return true;
        default: return false;
    }
}

bool Tf_main::FileNew() {
    if (!MaybeSave()) return false;
    ReplaceBuilding(Document{}, QString());
    // The fields as the window first showed them.
    const auto fields = Fields(*this);
    for (std::size_t i = 0; i < fields.size(); ++i) fields[i].Edit->setText(initialFieldTexts_[static_cast<int>(i)]);
    saved_ = CurrentDocument();
    UpdateCaption();
    return true;
}

bool Tf_main::FileOpen() {
    const QString dir = filePath_.isEmpty() ? QDir::homePath() : QFileInfo(filePath_).absolutePath();
    const QString path = AskPath(false, dir);
    return !path.isEmpty() && OpenFile(path);
}

void Tf_main::OpenStudy() {
    const QString path = pathAsker_ ? pathAsker_(false, QString())
                                    : QFileDialog::getOpenFileName(this, QStringLiteral("Открыть исследование"), QString(),
                                                                   QStringLiteral("Итоги исследования (summary.json)"));
    if (path.isEmpty()) return;
    if (f_Study == nullptr) {
        f_Study = new StudyWindow(this);
        f_Study->setWindowFlag(Qt::Window);
        connect(f_Study, &StudyWindow::OpenRunAsBuilding, this, &Tf_main::OpenScenarioText);
    }
    if (const auto refused = f_Study->OpenStudy(path)) {
        ShowErrorMessage(this, *refused);
        return;
    }
    f_Study->show();
    f_Study->raise();
}

bool Tf_main::OpenScenarioText(const QString& text, const QString& title) {
    Document document;
    const std::string utf8 = text.toStdString();
    if (const auto refused = zf::project::ReadDocument(utf8, document)) {
        ShowErrorMessage(this, QStringLiteral("Расчет «%1» не открыт: %2").arg(title, QString::fromStdString(*refused)));
        return false;
    }
    if (!MaybeSave()) return false;
    if (document.Title.empty()) document.Title = title.toStdString();
    ReplaceBuilding(document, QString());  // unsaved: "Сохранить" asks where
    raise();
    activateWindow();
    return true;
}

bool Tf_main::OpenFile(const QString& path) {
    // The file is read and checked first: a file that cannot be opened costs no question and
    // leaves everything as it was.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowErrorMessage(this, QStringLiteral("Не удалось открыть файл «%1»: %2").arg(path, file.errorString()));
        return false;
    }
    const QByteArray text = file.read(static_cast<qint64>(zf::project::kMaxTextBytes) + 1);
    if (file.error() != QFileDevice::NoError) {
        ShowErrorMessage(this, QStringLiteral("Не удалось прочитать файл «%1»: %2").arg(path, file.errorString()));
        return false;
    }
    Document document;
    if (const auto refused =
            zf::project::ReadDocument(std::string_view(text.constData(), static_cast<std::size_t>(text.size())), document)) {
        ShowErrorMessage(this, QStringLiteral("Файл «%1» не открыт: %2").arg(path, QString::fromStdString(*refused)));
        return false;
    }
    if (!MaybeSave()) return false;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    ReplaceBuilding(document, absolute);
    AddRecentFile(absolute);
    return true;
}

bool Tf_main::FileSave() { return filePath_.isEmpty() ? FileSaveAs() : SaveFile(filePath_); }

bool Tf_main::FileSaveAs() {
    const QString suggested = filePath_.isEmpty() ? QDir::home().filePath(QStringLiteral("Сценарий.json")) : filePath_;
    QString path = AskPath(true, suggested);
    if (path.isEmpty()) return false;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".json");
    return SaveFile(path);
}

bool Tf_main::SaveFile(const QString& path) {
    Document document;
    std::string text;
    try {
        document = CurrentDocument();
        text = zf::project::WriteDocument(document);
    } catch (const ConversionError& error) {
        ShowErrorMessage(this, error.Message());
        return false;
    } catch (const std::invalid_argument& error) {
        ShowErrorMessage(this, QStringLiteral("Здание не сохранено: %1").arg(QString::fromStdString(error.what())));
        return false;
    }
    QString reason = ReadOnlyReason(path);
    if (!reason.isEmpty() || !WriteWhole(path, text, &reason)) {
        ShowErrorMessage(this, QStringLiteral("Не удалось сохранить файл «%1»: %2").arg(path, reason));
        return false;
    }
    filePath_ = QFileInfo(path).absoluteFilePath();
    document_ = document;
    saved_ = document;
    AddRecentFile(filePath_);
    UpdateCaption();
    return true;
}

QString Tf_main::LastCalculationPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("LastCalculation.json"));
}

void Tf_main::KeepLastCalculation() {
    try {
        lastCalculation_ = CurrentDocument();
    } catch (const ConversionError&) {
        return;  // not reached: the run reads the same fields first
    }
    lastCalculationPath_ = filePath_;
    lastCalculationSaved_ = saved_;
    UpdateActions();
    // Kept on disk before the run starts, so a crash during it loses nothing either.
    const QString path = LastCalculationPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::string text;
    try {
        text = zf::project::WriteDocument(*lastCalculation_);
    } catch (const std::invalid_argument&) {
        return;
    }
    QString reason;
    if (!WriteWhole(path, text, &reason))
        qWarning("The last calculated building was not kept in %s: %s", qPrintable(path), qPrintable(reason));
}

void Tf_main::AfterCalculation() {
    if (!restoreRequested_) return;
    restoreRequested_ = false;
    // The editor still shows the building it ran, edits and all: nothing to bring back.
    try {
        if (lastCalculation_ && CurrentDocument() == *lastCalculation_) return;
    } catch (const ConversionError&) {
        // a field changed since the run holds no number: bring the calculated building back
    }
    RestoreLastCalculation();
}

bool Tf_main::RestoreLastCalculation() {
    if (!lastCalculation_ || !MaybeSave()) return false;
    ReplaceBuilding(*lastCalculation_, lastCalculationPath_);
    // Unsaved changes then are unsaved changes now.
    saved_ = lastCalculationSaved_;
    UpdateCaption();
    return true;
}

// ---- Edit in place ----------------------------------------------------------------------------

void Tf_main::EditRoom(int k) {
    if (f_AddRoom == nullptr || k < 0 || k >= zm->RoomCount()) return;
    // The dialog is shared with "add room", which opens with the texts typed last time.
    const QString title = f_AddRoom->windowTitle();
    const QString texts[] = {f_AddRoom->LengthText(), f_AddRoom->WidthText(), f_AddRoom->HeightText()};
    const zf::TRoom& room = zm->Room(k);
    f_AddRoom->SetTexts(ExactNumberText(room.Length), ExactNumberText(room.Width), ExactNumberText(room.Height));
    // The title names the room being changed ("Помещение №2 — Коридор") and its row stays
    // selected behind the dialog, so the user sees which room the numbers belong to.
    const std::string name = static_cast<std::size_t>(k) < roomInfo_.size() ? roomInfo_[static_cast<std::size_t>(k)].Name : std::string();
    f_AddRoom->setWindowTitle(QString::fromStdString(zfreport::RoomLabel(k, name)));
    ui->GridRoom->selectRow(k + 1);
    const bool accepted = f_AddRoom->exec() == QDialog::Accepted;
    const QString length = f_AddRoom->LengthText(), width = f_AddRoom->WidthText(), height = f_AddRoom->HeightText();
    f_AddRoom->SetTexts(texts[0], texts[1], texts[2]);
    f_AddRoom->setWindowTitle(title);
    if (!accepted) return;
    double size[3];
    try {
        size[0] = NumberFromText(length);
        size[1] = NumberFromText(width);
        size[2] = NumberFromText(height);
    } catch (const ConversionError& error) {
        ShowErrorMessage(this, error.Message());
        return;
    }
    Edit(QStringLiteral("изменение помещения №%1").arg(k + 1), [&] {
        zm->EditRoom(k, size[0], size[1], size[2]);
        FillGridRoom();
    });
}

void Tf_main::EditOpening(int row, int col, int k) {
    const int n = zm->RoomCount();
    if (f_AddDoor == nullptr || row < 0 || col < 0 || row >= n || col >= n) return;
    if (k < 0 || k >= static_cast<int>(zm->Cell(row, col).size())) return;
    const QString title = f_AddDoor->windowTitle();
    const bool wasOpen = f_AddDoor->IsOpen();
    const QString texts[] = {f_AddDoor->HeightText(), f_AddDoor->WidthText()};
    const zf::TProem& face = *zm->Cell(row, col)[static_cast<std::size_t>(k)];
    f_AddDoor->SetEntry(face.IsOpen, ExactNumberText(face.Height), ExactNumberText(face.Width));
    f_AddDoor->setWindowTitle(row == col ? QStringLiteral("Проем №%1 помещения №%2 наружу").arg(k + 1).arg(row + 1)
                                         : QStringLiteral("Проем №%1 между помещениями №%2 и №%3").arg(k + 1).arg(row + 1).arg(col + 1));
    const bool accepted = f_AddDoor->exec() == QDialog::Accepted;
    const bool isOpen = f_AddDoor->IsOpen();
    const QString height = f_AddDoor->HeightText(), width = f_AddDoor->WidthText();
    f_AddDoor->SetEntry(wasOpen, texts[0], texts[1]);
    f_AddDoor->setWindowTitle(title);
    if (!accepted) return;
    double h = 0, w = 0;
    try {
        h = NumberFromText(height);
        w = NumberFromText(width);
    } catch (const ConversionError& error) {
        ShowErrorMessage(this, error.Message());
        return;
    }
    // Both faces of a doorway change together.
    Edit(QStringLiteral("изменение проема"), [&] {
        zm->EditProem(row, col, k, h, w, isOpen);
        FillGridProem(row, col);
    });
}

// ---- Window events ----------------------------------------------------------------------------

namespace {
QString DroppedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().isEmpty()) return {};
    const QUrl url = data->urls().first();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}
}  // namespace

// A dropped file is opened where it lies, never taken from there: whatever the source proposes
// (a move, with Shift or by default between some folders), the drop is accepted as a copy, so
// the source never deletes its file. A source that offers no copy is refused.
namespace {
bool AcceptAsCopy(QDropEvent* event) {
    if (DroppedFile(event->mimeData()).isEmpty() || !(event->possibleActions() & Qt::CopyAction)) return false;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}
}  // namespace

void Tf_main::dragEnterEvent(QDragEnterEvent* event) { AcceptAsCopy(event); }

void Tf_main::dragMoveEvent(QDragMoveEvent* event) { AcceptAsCopy(event); }

void Tf_main::dropEvent(QDropEvent* event) {
    if (AcceptAsCopy(event)) OpenFile(DroppedFile(event->mimeData()));
}

// ---- "Здание..." and "Отчет..." --------------------------------------------------------------

void Tf_main::btnBuildingClick() {
    if (f_Building == nullptr) f_Building = new TF_Building(this);
    std::vector<TF_Building::RoomRow> rooms;
    const Document building = Building();
    for (const zf::project::Room& room : building.Rooms) rooms.push_back({room.Length, room.Width, room.Height, room.Name});
    f_Building->Show(building.Title, building.Notes, rooms);
    if (f_Building->exec() != QDialog::Accepted) return;
    const std::vector<std::string> names = f_Building->Names();
    Edit(QStringLiteral("изменение сведений о здании"), [&] {
        document_.Title = f_Building->Title();
        document_.Notes = f_Building->Notes();
        for (std::size_t k = 0; k < names.size() && k < roomInfo_.size(); ++k) roomInfo_[k].Name = names[k];
        FillGridRoom();  // the names are the rows' tool tips
    });
    UpdateCaption();
}

ScenarioDescription Tf_main::Description(const Document& document) const {
    // The building as it stands: unchanged since its file was opened or saved, it is identified
    // by the file's own bytes, as the headless report identifies it; changed, by the bytes it
    // would be saved as now, and the file's name says so.
    const bool modified = IsModified();
    QByteArray bytes;
    if (!filePath_.isEmpty() && !modified) {
        QFile file(filePath_);
        if (file.open(QIODevice::ReadOnly)) bytes = file.read(static_cast<qint64>(zf::project::kMaxTextBytes) + 1);
    }
    if (bytes.isEmpty()) {
        try {
            bytes = QByteArray::fromStdString(zf::project::WriteDocument(document));
        } catch (const std::invalid_argument&) {
            // A building that cannot be written is identified by nothing; the report says so.
        }
    }
    QString name = filePath_.isEmpty() ? QString() : QFileInfo(filePath_).fileName();
    if (!name.isEmpty() && modified) name += QStringLiteral(" (с несохраненными изменениями)");
    return DescribeDocument(document, name, bytes);
}

bool Tf_main::FileReport() {
    if (Running_) return false;
    Document document;
    try {
        document = CurrentDocument();
    } catch (const ConversionError& error) {
        ShowErrorMessage(this, error.Message());
        return false;
    }
    // The run works on a scenario of its own: the building in the editor, its history and its
    // file stay as they are.
    zf::TzoneMath run;
    zf::project::Apply(document, run);
    if (const std::string refusal = run.CheckInputs(); !refusal.empty()) {
        ShowErrorMessage(this, QString::fromStdString(refusal));
        return false;
    }
    Running_ = true;
    if (f_progress != nullptr) {
        TProgressRunView view(*f_progress, this);
        view.TickMs = runTickMs_;
        run.Run(view);
    } else {
        run.Run();
    }
    Running_ = false;
    if (QuitRequested_) {  // the user closed the main window during the run and confirmed
        close();
        return false;
    }
    // A stopped or failed run is reported too: its report says how far it went and why it ended.
    const QString dir = filePath_.isEmpty() ? QDir::homePath() : QFileInfo(filePath_).absolutePath();
    const QString base = filePath_.isEmpty() ? QStringLiteral("Отчет") : QFileInfo(filePath_).completeBaseName();
    QString path = AskPath(true, QDir(dir).filePath(base + QStringLiteral(".pdf")));
    if (path.isEmpty()) return false;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    if (const QString failure = WriteReportPdf(path, run, Description(document)); !failure.isEmpty()) {
        ShowErrorMessage(this, failure);
        return false;
    }
    return true;
}
