#pragma once
// "Справка → Руководство пользователя" (F1): the user guide shown in a window of its own, read
// from the installed guide or the source tree's docs/guide.md; and where the installed example
// buildings are.

#include <QString>
#include <QWidget>

class QTextBrowser;

// The guide's Markdown file: installed beside the program (share/doc/zonefire/guide/guide.md)
// or in the source tree the program was built from. Empty when neither exists.
QString GuidePath();

// The folder of the example buildings: installed (share/zonefire/examples) or the source
// tree's examples/. Empty when neither exists.
QString ExamplesFolder();

class TGuideWindow : public QWidget {
    Q_OBJECT
public:
    explicit TGuideWindow(QWidget* parent = nullptr);
    // Shows the guide at `path` (a Markdown file; its pictures are read beside it).
    void Open(const QString& path);
    QString Text() const;

private:
    QTextBrowser* browser_;
};
