// "Отчет..." of the main window's "Файл" menu, driven as a user does: it runs the building in
// the editor, asks where to save, and writes the report the headless command writes for the
// same file; the building stays in the editor; a stopped and a failed run are reported too.
#include <gtest/gtest.h>

#include <QAction>
#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QUndoStack>

#include <fstream>

#include "../cli/subprocess.h"
#include "editor_driver.h"
#include "pdf_text.h"
#include "project/scenario_file.h"
#include "u_ShowResult.h"
#include "u_progress.h"

namespace {

// Two named rooms joined by a doorway, long enough for several limits.
const char* const kNamedBuilding = R"({"title": "Склад №3", "notes": "Проверка отчета",
    "SimTime": 120, "dt": 0.01,
    "rooms": [{"length": 5, "width": 4, "height": 3, "name": "Кабинет"},
              {"length": 6, "width": 5, "height": 3, "name": "Коридор", "evacuation": {"start_delay": 10, "duration": 30}}],
    "openings": [{"rooms": [1, 2], "height": 2, "width": 0.9, "open": true}]})";

class ReportMenu : public EditorTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        EditorTest::SetUp();
        progress_ = std::make_unique<Tf_progress>();
        main_->SetRunWindows(progress_.get(), new TF_ShowResult(main_.get()));
        main_->SetPathAsker([this](bool save, const QString& suggested) {
            EXPECT_TRUE(save);
            suggested_ = suggested;
            return reportPath_;
        });
        // The object's texts are not asked for: the report says "не указано" (object_info_test.cpp).
        main_->SetObjectInfoAsker([](zf::project::Document&) { return false; });
    }
    void TearDown() override {
        EditorTest::TearDown();
        main_.reset();
        progress_.reset();
    }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    bool Report(const QString& name) {
        reportPath_ = Path(name);
        return main_->findChild<QAction*>("ActFileReport")->isEnabled() && main_->FileReport();
    }
    // The whole text, without the line of the report's date, which the minute may change.
    static QString Undated(const QString& pdf) {
        return Flat(PdfText(pdf)).remove(QRegularExpression(QStringLiteral("Дата отчета \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d")));
    }

    QTemporaryDir dir_;
    std::unique_ptr<Tf_progress> progress_;
    QString reportPath_;
    QString suggested_;
};

TEST_F(ReportMenu, WritesTheHeadlessCommandsReportAndKeepsTheBuilding) {
    const QString file = Path("sklad.json");
    std::ofstream(file.toStdString()) << kNamedBuilding;
    ASSERT_TRUE(main_->OpenFile(file));
    const zf::project::Document before = main_->CurrentDocument();
    EXPECT_EQ(main_->findChild<QAction*>("ActFileReport")->text(), "О&тчет...");

    ASSERT_TRUE(Report("from_menu"));  // no suffix: .pdf is added
    EXPECT_EQ(suggested_, Path("sklad.pdf"));
    const QString pdf = Path("from_menu.pdf");
    const QString text = Undated(pdf);
    for (const char* expected : {"Склад №3", "Проверка отчета", "Помещение №2 — Коридор", "расчет завершен", "sklad.json"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.left(1500).toStdString();
    // Unchanged since it was opened, the building is identified by its file's own bytes.
    const QString sha = QString::fromLatin1(QCryptographicHash::hash(kNamedBuilding, QCryptographicHash::Sha256).toHex());
    EXPECT_TRUE(text.contains(sha)) << sha.toStdString() << "\n" << text.left(800).toStdString();

    // The building stays in the editor as it was, its file and history with it.
    EXPECT_EQ(main_->CurrentDocument(), before);
    EXPECT_EQ(main_->FilePath(), file);
    EXPECT_FALSE(main_->IsModified());
    EXPECT_EQ(main_->UndoStack()->count(), 0);
    EXPECT_TRUE(main_->isEnabled());

    // zonefire --report on the same file writes the same report.
    const QString headless = Path("headless.pdf");
    const ChildResult run = RunChild(ZONEFIRE_APP, {"--report", headless.toStdString(), file.toStdString()});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(text.toStdString(), Undated(headless).toStdString());
}

TEST_F(ReportMenu, AChangedBuildingIsReportedAsItStands) {
    const QString file = Path("sklad.json");
    std::ofstream(file.toStdString()) << kNamedBuilding;
    ASSERT_TRUE(main_->OpenFile(file));
    Find<QLineEdit>("Edit12")->setText("60");
    ASSERT_TRUE(Report("changed.pdf"));
    const QString text = Undated(Path("changed.pdf"));
    EXPECT_TRUE(text.contains(QStringLiteral("sklad.json (с несохраненными изменениями)")));
    EXPECT_TRUE(text.contains(QStringLiteral("(время моделирования 60 с)")));
    const QByteArray stands = QByteArray::fromStdString(zf::project::WriteDocument(main_->CurrentDocument()));
    EXPECT_TRUE(text.contains(QString::fromLatin1(QCryptographicHash::hash(stands, QCryptographicHash::Sha256).toHex())));
    EXPECT_TRUE(main_->IsModified());
}

TEST_F(ReportMenu, AStoppedRunIsReportedAsStoppedAndTheBuildingStays) {
    main_->SetRunClock(&SecondPerReading);  // every step a refresh: stopped at step 2
    Find<QLineEdit>("Edit11")->setText("0,0001");
    Find<QLineEdit>("Edit12")->setText("1000");  // far longer than the test lets it run
    AddRoom("5", "4", "3");
    AtFirstRefresh(progress_.get(), [this] {
        ASSERT_TRUE(progress_->isVisible());
        QTest::mouseClick(progress_->findChild<QPushButton*>("TBXButton1"), Qt::LeftButton);
    });
    ASSERT_TRUE(Report("stopped.pdf"));
    EXPECT_TRUE(Flat(PdfText(Path("stopped.pdf"), false, 1, 1)).contains(QStringLiteral("расчет остановлен пользователем")));
    EXPECT_EQ(main_->Scenario().RoomCount(), 1);
    EXPECT_FALSE(main_->Scenario().Stopped);  // the editor's scenario never ran
}

TEST_F(ReportMenu, AFailedRunIsReportedWithItsFailureAndCancellingWritesNothing) {
    // No rooms: the fire room is missing in step 1.
    ASSERT_TRUE(Report("failed.pdf"));
    const QString first = Flat(PdfText(Path("failed.pdf"), false, 1, 1));
    EXPECT_TRUE(first.contains(QStringLiteral("расчет прерван ошибкой на шаге 1"))) << first.toStdString();

    reportPath_.clear();  // the file dialog cancelled
    AddRoom("5", "4", "3");
    EXPECT_FALSE(main_->FileReport());
    EXPECT_EQ(main_->Scenario().RoomCount(), 1);
}

}  // namespace
