// Qt's own texts in the windows read in Russian once the program has loaded Qt's translations.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QObject>
#include <QPushButton>
#include <gtest/gtest.h>

#include "qt_translations.h"

namespace {

TEST(QtTranslations, StandardButtonsReadInRussian) {
    {
        QObject owner;  // the translator goes with it, and the texts are English again
        ASSERT_TRUE(InstallQtRussianTranslations(&owner)) << "Qt's Russian translations are not installed";
        QMessageBox box(QMessageBox::Question, "zonefire", "?", QMessageBox::Ok | QMessageBox::Cancel);
        EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "Отмена");
        box.setDetailedText("подробности");
        bool details = false;
        for (QAbstractButton* b : box.findChildren<QAbstractButton*>()) details |= b->text().startsWith("Показать");
        EXPECT_TRUE(details);  // "Show Details..."
        QDialogButtonBox buttons(QDialogButtonBox::Save | QDialogButtonBox::Close);
        EXPECT_EQ(buttons.button(QDialogButtonBox::Save)->text(), "Сохранить");
    }
    QMessageBox box(QMessageBox::Question, "zonefire", "?", QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "Cancel");
}

}  // namespace
