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

#include "shown_name.h"
#include "critical_times.h"
#include "number_text.h"
#include "project/scenario_file.h"
#include "u_AddDoor.h"
#include "u_AddRoom.h"
#include "u_Building.h"
#include "u_ShowResult.h"
#include "u_progress.h"
#include "study_window.h"
#include "main_fields.h"
#include "project_files.h"
#include "u_main.h"
#include "ui_u_main.h"
#include "model/number_text.h"
#include "model/room.h"

using zf::project::Document;
using zfmain::DisplayName;
using zfmain::Field;
using zfmain::Fields;
using zfmain::kRecentFiles;

namespace {

constexpr const char* kRecentFilesKey = "recentFiles";
constexpr const char* kFileFilter = "Сценарии (*.json);;Все файлы (*)";
constexpr const char* kReportFilter = "Документ PDF (*.pdf)";

}  // namespace

// ---- Menus and caption ------------------------------------------------------------------------

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
        ShowErrorMessage(this, QStringLiteral("Расчет «%1» не открыт: %2").arg(ShownName(title), QString::fromStdString(*refused)));
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
        ShowErrorMessage(this, QStringLiteral("Не удалось открыть файл «%1»: %2").arg(ShownName(path), file.errorString()));
        return false;
    }
    const QByteArray text = file.read(static_cast<qint64>(zf::project::kMaxTextBytes) + 1);
    if (file.error() != QFileDevice::NoError) {
        ShowErrorMessage(this, QStringLiteral("Не удалось прочитать файл «%1»: %2").arg(ShownName(path), file.errorString()));
        return false;
    }
    Document document;
    if (const auto refused =
            zf::project::ReadDocument(std::string_view(text.constData(), static_cast<std::size_t>(text.size())), document)) {
        ShowErrorMessage(this, QStringLiteral("Файл «%1» не открыт: %2").arg(ShownName(path), QString::fromStdString(*refused)));
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
    if (const QString readOnly = ReadOnlyReason(path); !readOnly.isEmpty()) {
        ShowErrorMessage(this, QStringLiteral("Не удалось сохранить файл «%1»: %2").arg(ShownName(path), readOnly));
        return false;
    }
    if (const std::optional<std::string> failure = WriteWhole(path, text)) {
        ShowErrorMessage(this, QStringLiteral("Здание не сохранено, прежний файл остался как был. %1. Освободите место "
                                              "на диске или сохраните здание в другое место («Сохранить как...»).")
                                   .arg(QString::fromStdString(*failure)));
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
    if (const std::optional<std::string> failure = WriteWhole(path, text))
        qWarning("The last calculated building was not kept: %s", failure->c_str());
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

// ---- Window events ----------------------------------------------------------------------------

namespace {
}  // namespace

// A dropped file is opened where it lies, never taken from there: whatever the source proposes
// (a move, with Shift or by default between some folders), the drop is accepted as a copy, so
// the source never deletes its file. A source that offers no copy is refused.
namespace {
}  // namespace

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
    if (!ConfirmInputWarnings(run)) return false;
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
    AskObjectInfoOnce(document);
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
