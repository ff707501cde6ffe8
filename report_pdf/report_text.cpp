#include "report_text.h"

#include <QList>

namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kFirstStrongIsolate = 0x2068;
constexpr char16_t kPopDirectionalIsolate = 0x2069;

// Explicit direction controls: the Arabic letter mark, the left-to-right and right-to-left
// marks, the embeddings and overrides with their pop, the isolates with theirs.
bool IsDirectionControl(char32_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

bool IsRightToLeft(char32_t c) {
    switch (QChar::direction(c)) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirRLI:
            return true;
        default:
            return false;
    }
}

}  // namespace

QString LiteralUserText(const QString& text) {
    QString out;
    out.reserve(text.size() + 2);
    bool isolate = false;
    for (const char32_t c : text.toUcs4()) {
        if (c == U'\n' || c == U'\t') {
            out += QChar(c);
            continue;
        }
        if (c == kReportPlaceholder || QChar::isNonCharacter(c) || QChar::category(c) == QChar::Other_Control) {
            out += QChar(kReplacement);
            continue;
        }
        isolate = isolate || IsDirectionControl(c) || IsRightToLeft(c);
        out += QString::fromUcs4(&c, 1);
    }
    if (!isolate) return out;
    return QChar(kFirstStrongIsolate) + out + QChar(kPopDirectionalIsolate);
}

QColor VerdictColour(zfreport::Verdict v) {
    switch (v) {
        case zfreport::Verdict::Safe: return QColor(0xC8, 0xE6, 0xC9);
        case zfreport::Verdict::Unsafe: return QColor(0xFF, 0xCD, 0xD2);
        case zfreport::Verdict::Undetermined: return QColor(0xFF, 0xF1, 0x76);
    }
    return {};
}
