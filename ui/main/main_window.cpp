// The main window itself: its making (the designed form, the hint line, the grids, the editor's
// buttons and keys, the menus), its closing, and a file dropped on it. It puts together the
// parts of ui/main/: the editor's grids (u_main.cpp), the building as a document
// (main_document.cpp), the editor's operations (main_editor.cpp), the files (main_project.cpp),
// the run (main_run.cpp), the model options (main_model_options.cpp) and the help
// (main_help.cpp); none of them calls back up into this file.
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTableWidget>
#include <QUndoStack>
#include <vector>

#include "main_fields.h"
#include "project/scenario_file.h"
#include "dialog_fields.h"
#include "u_main.h"
#include "u_progress.h"
#include "ui_u_main.h"

using zf::project::Document;
using zfmain::Field;
using zfmain::Fields;
using zfmain::kRecentFiles;

namespace {

constexpr int kClientWidth = 841;        // main window client area [px]
constexpr int kClientHeight = 523;       // [px]

// The evacuation button: the free column between the rooms grid (x 16..297) and the matrix
// (x 336..), from below the delete-room button down to the grids' bottom edge (y 473) [px].
constexpr QRect kEvacuationButton(299, 353, 34, 120);
constexpr QRect kModelOptionsButton(299, 96, 34, 120);  // in the same free column, under the room buttons

// A push button whose caption reads upwards, for a place narrower than its word.
class TVerticalButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        painter.drawControl(QStyle::CE_PushButton, option);
        painter.rotate(-90);
        // Rotated, the button's height is the caption's width.
        const QRect caption(-height(), 0, height(), width());
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        painter.drawText(caption, Qt::AlignCenter | Qt::TextShowMnemonic, text());
    }
};

// One action of a menu: its object name (tests find it by that), text, keys and what it does.
template <typename Slot>
QAction* AddMenuAction(QObject* receiver, QMenu* menu, const char* name, const QString& text, const QKeySequence& keys,
                       Slot slot) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);
    QObject::connect(action, &QAction::triggered, receiver, slot);
    return action;
}

QString DroppedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().isEmpty()) return {};
    const QUrl url = data->urls().first();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}
bool AcceptAsCopy(QDropEvent* event) {
    if (DroppedFile(event->mimeData()).isEmpty() || !(event->possibleActions() & Qt::CopyAction)) return false;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}
}  // namespace

Tf_main::Tf_main(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::Tf_main>()) {
    // The icons live in the static window library; their registration must be pulled in.
    Q_INIT_RESOURCE(resources);
    ui->setupUi(this);
    AddFireAreaField();  // before the menus: the file's fields include it
    CreateMenus();
    AddHintLine();
    SetUpGrids();
    AddEditorButtons();
    SetUpKeys();
    MakeGridsSheetLike();

    FormCreate();
    saved_ = CurrentDocument();  // the empty building with the initial fields: nothing to save
    UpdateCaption();
}

void Tf_main::AddHintLine() {
    // One line of hint below the designed client area, which keeps its size and controls; the
    // menu bar sits above it.
    auto* hint = new QLabel(QStringLiteral("Помещение 1 — помещение с очагом пожара. Клетка на диагонали матрицы "
                                           "(строка и столбец одного помещения) — проемы наружу."),
                            statusBar());
    hint->setObjectName(QStringLiteral("LabelHint"));
    hint->setIndent(14);  // in line with the labels above it (16 px from the window's edge)
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(hint, 1);
    centralWidget()->setFixedSize(kClientWidth, kClientHeight);
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());

}

void Tf_main::AddEditorButtons() {
    connect(ui->btnAddRoom, &QToolButton::clicked, this, &Tf_main::btnAddRoomClick);
    connect(ui->btnDelRoom, &QToolButton::clicked, this, &Tf_main::btnDelRoomClick);
    connect(ui->btnAddDoor, &QToolButton::clicked, this, &Tf_main::btnAddDoorClick);
    connect(ui->TBXButton2, &QToolButton::clicked, this, &Tf_main::TBXButton2Click);
    connect(ui->TBXButton1, &QPushButton::clicked, this, &Tf_main::TBXButton1Click);
    // In the free column between the rooms grid and the matrix, under the room buttons: the
    // designed controls stay where they are. The column is too narrow for the word across, so
    // it reads upwards, as a tab on the grid's edge does.
    auto* evacuation = new TVerticalButton(QStringLiteral("Эвакуация..."), ui->centralwidget);
    evacuation->setObjectName(QStringLiteral("btnEvacuation"));
    evacuation->setToolTip(QStringLiteral("Время начала эвакуации и время эвакуации по помещениям, коэффициент безопасности"));
    evacuation->setGeometry(kEvacuationButton);
    connect(evacuation, &QPushButton::clicked, this, &Tf_main::btnEvacuationClick);
    // Above it in the same column: the model options.
    auto* models = new TVerticalButton(QStringLiteral("Модели..."), ui->centralwidget);
    models->setObjectName(QStringLiteral("btnModelOptions"));
    models->setToolTip(QStringLiteral("Модели расчета: согласованный уход газов через проемы, теплопотери в ограждающие конструкции"));
    models->setGeometry(kModelOptionsButton);
    connect(models, &QPushButton::clicked, this, &Tf_main::btnModelOptionsClick);
    connect(ui->GridMatrix, &QTableWidget::currentCellChanged, this,
            [this](int row, int col, int, int) { GridMatrixSelectCell(col, row); });
}

// Insert and Delete in the rooms grid add and delete a room, in the matrix and the openings
// grid an opening; each presses the button, so the key does exactly what a click does.
// "Расчет" takes Enter when it has the focus.
void Tf_main::SetUpKeys() {
    const struct {
        QToolButton* button;
        const char* tip;
        Qt::Key key;
        std::vector<QTableWidget*> grids;
        const char* where;
    } keys[] = {
        {ui->btnAddRoom, "Добавить помещение", Qt::Key_Insert, {ui->GridRoom}, "в списке помещений"},
        {ui->btnDelRoom, "Удалить выбранное помещение", Qt::Key_Delete, {ui->GridRoom}, "в списке помещений"},
        {ui->btnAddDoor, "Добавить проем в выбранную клетку матрицы", Qt::Key_Insert, {ui->GridMatrix, ui->GridProem},
         "в матрице и в списке проемов"},
        {ui->TBXButton2, "Удалить выбранный проем", Qt::Key_Delete, {ui->GridMatrix, ui->GridProem},
         "в матрице и в списке проемов"},
    };
    for (const auto& k : keys) {
        const QKeySequence sequence(k.key);
        for (QTableWidget* grid : k.grids) {
            auto* action = new QAction(k.button->objectName(), grid);
            action->setShortcut(sequence);
            action->setShortcutContext(Qt::WidgetShortcut);
            connect(action, &QAction::triggered, k.button, &QToolButton::click);
            grid->addAction(action);
        }
        k.button->setToolTip(QStringLiteral("%1 (%2 %3)")
                                 .arg(QString::fromUtf8(k.tip), sequence.toString(QKeySequence::NativeText),
                                      QString::fromUtf8(k.where)));
    }
    ui->TBXButton1->setAutoDefault(true);
}

bool Tf_main::AskStopAndQuit() {
    // The main window is disabled during the run, and so would be a box that belongs to it;
    // the progress window stays usable and on top, so the box belongs to it.
    QWidget* owner = f_progress != nullptr && f_progress->isVisible() ? static_cast<QWidget*>(f_progress) : nullptr;
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(),
                    QStringLiteral("Прервать расчет и выйти из программы?"), QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void Tf_main::closeEvent(QCloseEvent* event) {
    if (Running_) {
        // The window stays until the run has returned; it closes then (TBXButton1Click).
        event->ignore();
        if (!QuitRequested_ && AskStopAndQuit()) {
            QuitRequested_ = true;
            // The run takes the progress window's closing as the user's stop request.
            if (f_progress != nullptr) f_progress->close();
        }
        return;
    }
    // Unsaved changes are offered for saving first; cancelling keeps the window. After a run
    // stopped to quit, the building is already kept as the last calculation's (Ctrl+R).
    if (!QuitRequested_ && !MaybeSave()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) emit Closed();
}

Tf_main::~Tf_main() {
    // The history is a child, destroyed after this window's members: its last signals must not
    // reach a half-destroyed window.
    if (undo_ != nullptr) undo_->disconnect(this);
}

void Tf_main::SetDialogs(Tf_AddRoom* addRoom, Tf_AddDoor* addDoor) {
    f_AddRoom = addRoom;
    f_AddDoor = addDoor;
}

void Tf_main::SetRunWindows(Tf_progress* progress, TF_ShowResult* results) {
    f_progress = progress;
    F_ShowResult = results;
}

void Tf_main::CreateMenus() {
    designedCaption_ = windowTitle();
    // The fields' captions and tips from the input table, their first texts a new building's
    // defaults with the decimal comma, to as many places as the window has always shown them
    // ("0,01450" for 0.0145).
    for (const Field& f : Fields(*this)) {
        ShowInputCaption(f.Edit, *f.Input);
        initialFieldTexts_ << QString::fromStdString(zf::PlainNumberText(f.Input->Default, ",", f.Input->FirstTextDecimals));
        f.Edit->setText(initialFieldTexts_.back());
    }
    undo_ = new QUndoStack(this);
    CreateFileMenu();
    CreateEditMenu();
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

    LoadLastCalculation();
    FillRecentMenu();
    UpdateActions();
}

void Tf_main::CreateFileMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Файл"));
    file->setObjectName(QStringLiteral("MenuFile"));
    const auto add = [this](QMenu* menu, const char* name, const QString& text, const QKeySequence& keys, auto slot) {
        return AddMenuAction(this, menu, name, text, keys, slot);
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
}

void Tf_main::CreateEditMenu() {
    const auto add = [this](QMenu* menu, const char* name, const QString& text, const QKeySequence& keys, auto slot) {
        return AddMenuAction(this, menu, name, text, keys, slot);
    };
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Правка"));
    edit->setObjectName(QStringLiteral("MenuEdit"));
    QAction* undo = undo_->createUndoAction(this, QStringLiteral("&Отменить"));
    undo->setObjectName(QStringLiteral("ActUndo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction* redo = undo_->createRedoAction(this, QStringLiteral("По&вторить"));
    redo->setObjectName(QStringLiteral("ActRedo"));
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    edit->addAction(undo);
    edit->addAction(redo);
    edit->addSeparator();
    add(edit, "ActBuilding", QStringLiteral("&Здание..."), QKeySequence(), [this] { btnBuildingClick(); });
    add(edit, "ActObjectInfo", QStringLiteral("&Сведения об объекте..."), QKeySequence(), [this] { btnObjectInfoClick(); })
        ->setStatusTip(QStringLiteral("Объект, адрес, организация и исполнитель для титульного листа отчета"));
    add(edit, "ActEvacuation", QStringLiteral("&Эвакуация..."), QKeySequence(), [this] { btnEvacuationClick(); });
    add(edit, "ActRoutes", QStringLiteral("&Пути эвакуации..."), QKeySequence(), [this] { btnRoutesClick(); })
        ->setStatusTip(QStringLiteral("Время эвакуации по путям эвакуации: движение людского потока"));
    add(edit, "ActModelOptions", QStringLiteral("&Модели расчета..."), QKeySequence(), [this] { btnModelOptionsClick(); })
        ->setStatusTip(QStringLiteral("Согласованный уход газов через проемы, теплопотери в ограждающие конструкции"));
    add(edit, "ActCriticalValues", QStringLiteral("&Критические значения..."), QKeySequence(), [this] { btnCriticalValuesClick(); })
        ->setStatusTip(QStringLiteral("Критические значения опасных факторов пожара и высота рабочей зоны"));
    add(edit, "ActCheckStep", QStringLiteral("Проверка &шага расчета..."), QKeySequence(), [this] { CheckStep(); })
        ->setStatusTip(QStringLiteral("Расчет с шагом dt и dt/2: насколько сдвигаются критические времена"));
}

void Tf_main::LoadLastCalculation() {
    // The building of the last calculation survives a restart.
    QFile last(LastCalculationPath());
    if (last.open(QIODevice::ReadOnly)) {
        const QByteArray text = last.read(static_cast<qint64>(zf::project::kMaxTextBytes) + 1);
        Document document;
        if (!zf::project::ReadDocument(std::string_view(text.constData(), static_cast<std::size_t>(text.size())), document))
            lastCalculation_ = document;
    }
}

void Tf_main::dragEnterEvent(QDragEnterEvent* event) { AcceptAsCopy(event); }

void Tf_main::dragMoveEvent(QDragMoveEvent* event) { AcceptAsCopy(event); }

void Tf_main::dropEvent(QDropEvent* event) {
    if (AcceptAsCopy(event)) OpenFile(DroppedFile(event->mimeData()));
}

