// "Сведения об объекте": the title page's texts edited from the "Правка" menu, changed in the
// building's history; asked for once before a report when one is missing, and printed on its
// title page.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>

#include "editor_driver.h"
#include "pdf_text.h"
#include "u_ShowResult.h"
#include "u_progress.h"

namespace {

class ObjectInfoWindow : public EditorTest {
protected:
    // Opens the dialog from the "Правка" menu and answers it with `fill`.
    void Change(std::function<void(QDialog*)> fill) {
        QTimer::singleShot(0, [fill] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            fill(dialog);
        });
        main_->findChild<QAction*>("ActObjectInfo")->trigger();
    }
    static void Type(QDialog* dialog, const char* key, const char* text) {
        dialog->findChild<QLineEdit*>(QStringLiteral("Edit") + QString::fromLatin1(key))->setText(QString::fromUtf8(text));
    }
    static void Ok(QDialog* dialog) {
        dialog->findChild<QDialogButtonBox*>("ObjectInfoButtons")->button(QDialogButtonBox::Ok)->click();
    }
};

TEST_F(ObjectInfoWindow, TextsAreKeptInTheBuildingAndUndone) {
    Change([](QDialog* d) {
        Type(d, "title", "Склад №3");
        Type(d, "address", "  г. Тверь, ул. Складская, 1  ");
        Type(d, "organisation", "ООО «Расчет»");
        Type(d, "author", "И. И. Иванов");
        Ok(d);
    });
    const zf::project::Document shown = main_->CurrentDocument();
    EXPECT_EQ(shown.Title, "Склад №3");
    EXPECT_EQ(shown.Address, "г. Тверь, ул. Складская, 1");  // without the spaces at its ends
    EXPECT_EQ(shown.Organisation, "ООО «Расчет»");
    EXPECT_EQ(shown.Author, "И. И. Иванов");
    EXPECT_TRUE(main_->IsModified());
    main_->UndoStack()->undo();
    EXPECT_TRUE(main_->CurrentDocument().Address.empty());
    main_->UndoStack()->redo();
    EXPECT_EQ(main_->CurrentDocument().Author, "И. И. Иванов");
    // Shown again as stored; cancelled, nothing changes.
    Change([](QDialog* d) {
        EXPECT_EQ(d->findChild<QLineEdit*>("Editorganisation")->text(), "ООО «Расчет»");
        Type(d, "author", "другой");
        d->reject();
    });
    EXPECT_EQ(main_->CurrentDocument().Author, "И. И. Иванов");
}

// Before a report: asked once when a text is missing; given, the title page prints them.
class ObjectInfoReport : public EditorTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        EditorTest::SetUp();
        progress_ = std::make_unique<Tf_progress>();
        main_->SetRunWindows(progress_.get(), new TF_ShowResult(main_.get()));
        main_->SetPathAsker([this](bool, const QString&) { return path_; });
        main_->SetObjectInfoAsker([this](zf::project::Document& d) {
            ++asked_;
            if (!answer_) return false;
            d.Address = "г. Тверь";
            d.Organisation = "ООО «Расчет»";
            d.Author = "И. И. Иванов";
            return true;
        });
        ASSERT_TRUE(main_->OpenScenarioText(kBuilding, QStringLiteral("Склад")));
    }
    static constexpr const char* kBuilding = R"({"SimTime": 5, "dt": 0.01, "rooms": [{}]})";
    void TearDown() override {
        EditorTest::TearDown();
        main_.reset();
        progress_.reset();
    }
    bool Report(const char* name) {
        path_ = dir_.filePath(QString::fromLatin1(name));
        return main_->FileReport();
    }

    QTemporaryDir dir_;
    std::unique_ptr<Tf_progress> progress_;
    QString path_;
    int asked_ = 0;
    bool answer_ = true;
};

TEST_F(ObjectInfoReport, GivenTextsAreKeptAndPrintedOnTheTitlePage) {
    ASSERT_TRUE(Report("a.pdf"));
    EXPECT_EQ(asked_, 1);
    EXPECT_EQ(main_->CurrentDocument().Organisation, "ООО «Расчет»");
    const QString first = Flat(PdfText(path_, false, 1, 1));
    for (const char* line : {"Адрес объекта г. Тверь", "Организация ООО «Расчет»", "Исполнитель И. И. Иванов",
                             "Объект Склад", "Модель двухзонная; конвективная колонка — зависимость Танака"})
        EXPECT_TRUE(first.contains(QString::fromUtf8(line))) << line << "\n" << first.toStdString();
    EXPECT_TRUE(first.contains(QRegularExpression(QStringLiteral("SHA-256 сценария [0-9a-f]{64}"))));
}

TEST_F(ObjectInfoReport, DeclinedIsNotAskedAgainForTheSameBuilding) {
    answer_ = false;
    ASSERT_TRUE(Report("a.pdf"));
    ASSERT_TRUE(Report("b.pdf"));
    EXPECT_EQ(asked_, 1);
    EXPECT_TRUE(Flat(PdfText(path_, false, 1, 1)).contains(QStringLiteral("Адрес объекта не указано")));
    // Another building is asked about again.
    ASSERT_TRUE(main_->OpenScenarioText(kBuilding, QStringLiteral("Другой склад")));
    ASSERT_TRUE(Report("c.pdf"));
    EXPECT_EQ(asked_, 2);
}

}  // namespace
