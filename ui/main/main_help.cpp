// The main window's way in for a newcomer: "Справка" (the user guide on F1, "О программе"),
// "Файл → Примеры" (the example buildings) and "Правка → Типовая пожарная нагрузка..." (the
// fire-load library filling the fire-load fields).

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

#include "fire_load_dialog.h"
#include "guide_window.h"
#include "model/number_text.h"
#include "project/examples.h"
#include "project/fire_loads.h"
#include "project/program_info.h"
#include "project/scenario_file.h"
#include "dialog_fields.h"
#include "u_main.h"
#include "ui_u_main.h"

void Tf_main::CreateHelpMenus() {
    auto* file = findChild<QMenu*>(QStringLiteral("MenuFile"));
    auto* edit = findChild<QMenu*>(QStringLiteral("MenuEdit"));

    // "Файл → Примеры": one item per example building, named by its title.
    auto* examples = new QMenu(QStringLiteral("П&римеры"), file);
    examples->setObjectName(QStringLiteral("MenuExamples"));
    const QString folder = ExamplesFolder();
    for (std::string_view name : zf::project::kExampleFiles) {
        const QString path = folder + QLatin1Char('/') + QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
        zf::project::Document document;
        QFile in(path);
        if (folder.isEmpty() || !in.open(QIODevice::ReadOnly) || zf::project::ReadDocument(in.readAll().toStdString(), document))
            continue;  // not installed: the menu offers what there is
        QAction* action = examples->addAction(QString::fromStdString(document.Title));
        action->setObjectName(QStringLiteral("ActExample_") + QFileInfo(path).baseName());
        action->setStatusTip(QString::fromStdString(document.Notes));
        action->setToolTip(QString::fromStdString(document.Notes));
        connect(action, &QAction::triggered, this, [this, path] { OpenExample(path); });
    }
    examples->setToolTipsVisible(true);
    examples->setEnabled(!examples->isEmpty());
    file->insertMenu(findChild<QAction*>(QStringLiteral("ActOpenStudy")), examples);

    edit->addSeparator();
    QAction* load = edit->addAction(QStringLiteral("&Типовая пожарная нагрузка..."));
    load->setObjectName(QStringLiteral("ActFireLoad"));
    load->setStatusTip(QStringLiteral("Заполнить параметры горючей нагрузки из таблиц типовых пожарных нагрузок"));
    connect(load, &QAction::triggered, this, [this] { ChooseFireLoad(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Справка"));
    help->setObjectName(QStringLiteral("MenuHelp"));
    QAction* guide = help->addAction(QStringLiteral("&Руководство пользователя"));
    guide->setObjectName(QStringLiteral("ActGuide"));
    guide->setShortcut(QKeySequence(Qt::Key_F1));
    connect(guide, &QAction::triggered, this, [this] { ShowGuide(); });
    QAction* about = help->addAction(QStringLiteral("&О программе"));
    about->setObjectName(QStringLiteral("ActAbout"));
    connect(about, &QAction::triggered, this, [this] {
        QMessageBox box(QMessageBox::Information, QStringLiteral("О программе"),
                        QString::fromStdString(zf::project::VersionText("zonefire")), QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("AboutBox"));
        box.exec();
    });
}

bool Tf_main::ChooseFireLoad() {
    TFireLoadDialog dialog(this);
    dialog.SelectName(QString::fromStdString(document_.FireLoad));
    if (dialog.exec() != QDialog::Accepted) return false;
    return FillFireLoad(dialog.ChosenName());
}

bool Tf_main::FillFireLoad(const QString& name) {
    const zf::project::FireLoad* load = zf::project::FindFireLoad(name.toStdString());
    if (load == nullptr) return false;
    zf::project::Parameters values;
    zf::project::ApplyFireLoad(*load, values);
    document_.FireLoad = load->Name;
    const std::string point = QLocale().decimalPoint().toStdString();
    // The library's inputs into their fields (model/inputs.h names each field).
    for (const std::string_view key : zf::project::FireLoadKeys()) {
        const zf::Input& input = zf::InputOf(key);
        if (auto* edit = findChild<QLineEdit*>(InputText(input.Widget)))
            edit->setText(QString::fromStdString(zf::PlainNumberText(values.*input.Field, point)));
    }
    UpdateCaption();
    return true;
}

QString Tf_main::FireLoadName() const { return QString::fromStdString(document_.FireLoad); }

bool Tf_main::OpenExample(const QString& path) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        ShowErrorMessage(this, QStringLiteral("Не удалось открыть пример «%1»: %2").arg(path, in.errorString()));
        return false;
    }
    // Opened unsaved: "Сохранить" asks where, so the installed example stays as it is.
    return OpenScenarioText(QString::fromUtf8(in.readAll()), QFileInfo(path).completeBaseName());
}

void Tf_main::ShowGuide() {
    const QString path = GuidePath();
    if (path.isEmpty()) {
        ShowErrorMessage(this, QStringLiteral("Руководство пользователя не найдено: оно устанавливается с пакетом в "
                                              "/usr/share/doc/zonefire/ и лежит в исходных текстах в docs/guide.md."));
        return;
    }
    if (guide_ == nullptr) guide_ = new TGuideWindow(this);
    guide_->Open(path);
    guide_->show();
    guide_->raise();
}
