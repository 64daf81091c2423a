// The About box, laid out in dialog units like the other dialogs.
#include "app/aboutdlg.h"

#include "framework/dialogunits.h"
#include "zento/version.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kWidth = 235;
constexpr int kHeight = 64;

struct Static {
    const char* text; // UTF-8
    int x, y, width, height;
};

// In template order, which the "Aceptar" button interrupts after the copyright line.
constexpr Static kVersion{"ZENTO Versión 1.0", 40, 10, 119, 8};
constexpr Static kCopyright{ZENTO_COPYRIGHT, 37, 25, 119, 9};
constexpr Static kProject{"Regresión binaria para WinBUGS", 38, 36, 119, 9};
constexpr Static kConditions{"Leer condiciones en el documento de ayuda.", 37, 47, 150, 10};

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setModal(true);
    setWindowTitle(QStringLiteral("Acerca de ZENTO"));
    QFont font(QStringLiteral("MS Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    setFont(font);
    const zento::DialogUnits units(this->font());
    setFixedSize(units.size(kWidth, kHeight));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setGeometry(units.rect(11, 17, 21, 20));
    const int side = std::min(icon->width(), icon->height());
    icon->setPixmap(QApplication::windowIcon().pixmap(QSize(side, side), devicePixelRatioF()));

    auto addStatic = [&](const Static& text) {
        auto* label = new QLabel(QString::fromUtf8(text.text), this);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setGeometry(units.rect(text.x, text.y, text.width, text.height));
    };
    addStatic(kVersion);
    addStatic(kCopyright);
    auto* ok = new QPushButton(QStringLiteral("Aceptar"), this);
    ok->setDefault(true);
    ok->setGeometry(units.rect(178, 7, 50, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    addStatic(kProject);
    addStatic(kConditions);
}
