#include "ui/appearance.h"

#include <QApplication>
#include <QFont>
#include <QStringList>
#include <QStyle>
#include <QStyleFactory>

namespace quillet::ui {

namespace {
const QString kSansSerif = QStringLiteral("MS Sans Serif");
const QString kSymbol = QStringLiteral("Symbol");
}  // namespace

void SetUpAppearance() {
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows")))
        QApplication::setStyle(classic);

    QFont::insertSubstitutions(kSansSerif, {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                                            QStringLiteral("DejaVu Sans")});
    // Our captions are Unicode text; the substitutes have the ohm and the
    // micro sign, which a symbol-encoded face would not map.
    QFont::insertSubstitutions(kSymbol, {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

QFont StandardFont() {
    QFont font(kSansSerif);
    font.setPointSizeF(8.25);
    return font;
}

QFont HeadingFont() {
    QFont font(kSansSerif);
    font.setPointSizeF(13.5);
    font.setWeight(QFont::Bold);
    return font;
}

QFont SymbolCaptionFont() {
    QFont font(kSymbol);
    font.setPointSizeF(9.75);
    font.setWeight(QFont::Normal);
    return font;
}

}  // namespace quillet::ui
