// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TRecordsDialog.h"

#include "platform/gdi/Colors.h"
#include "platform/gdi/Fonts.h"

#include <QGuiApplication>
#include <QScreen>

namespace dialogs {

namespace {

platform::TFont fontIn(platform::TColor color) {
    platform::TFont font; // MS Sans Serif, 11 pixels
    font.Color = color;
    return font;
}

} // namespace

TRecordsDialog::TRecordsDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("RecordsDialog"));
    setModal(true);
    QPalette face = palette();
    face.setColor(QPalette::Window, platform::ToQColor(platform::clBlack));
    setPalette(face);
    setFont(platform::ToQFont(platform::TFont{}));

    XPPanel1 = new controls::TXPPanel(this);
    XPPanel1->setObjectName(QStringLiteral("XPPanel1"));
    XPPanel1->SetColor(platform::clBlack);
    XPPanel1->SetFont(fontIn(platform::clNavy));

    RecordsBox = new controls::TXPGroupBox(XPPanel1);
    RecordsBox->setObjectName(QStringLiteral("RecordsBox"));
    RecordsBox->SetFont(fontIn(platform::clYellow));
    RecordsBox->SetColor(platform::clBlack);
    RecordsGrid = new TRecordsGrid(RecordsBox);
    RecordsGrid->setObjectName(QStringLiteral("RecordsGrid"));
    RecordsGrid->move(Margin, 2 * Margin);

    CloseButton = new controls::TXPButton(XPPanel1);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->SetFont(fontIn(platform::clNavy));
    CloseButton->setCursor(Qt::PointingHandCursor);
    CloseButton->SetDefault(true);
    CloseButton->OnClick = [this](QObject*) { close(); };
    // The window opens on its button; Tab reaches the table.
    CloseButton->setFocus();

    SetTexts(texts_);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TRecordsDialog::SetTexts(const RecordsTexts& texts) {
    texts_ = texts;
    setWindowTitle(QString::fromStdString(texts.Caption));
    RecordsBox->SetCaption(" " + texts.Caption + " ");
    RecordsGrid->setAccessibleName(QString::fromStdString(texts.Caption));
    for (int column = 0; column < TRecordsGrid::Columns; ++column)
        RecordsGrid->SetHeader(column, texts.Headers[static_cast<std::size_t>(column)]);
    CloseButton->SetCaption(texts.Close);
    QString spoken = QString::fromStdString(texts.Close);
    CloseButton->setAccessibleName(spoken.remove(QLatin1Char('&')));
    FitToTable();
}

void TRecordsDialog::FitToTable() {
    RecordsGrid->FitColumns();
    const int boxWidth = RecordsGrid->width() + 2 * Margin;
    const int boxHeight = RecordsGrid->height() + 2 * Margin + Margin / 2;
    const int clientWidth = boxWidth + 2 * Margin;
    RecordsBox->setGeometry(Margin, Margin, boxWidth, boxHeight);
    CloseButton->setGeometry((clientWidth - ButtonWidth) / 2, 2 * Margin + boxHeight, ButtonWidth,
                             CloseButton->height());
    const int clientHeight = CloseButton->geometry().bottom() + 1 + Margin;
    XPPanel1->setGeometry(0, 0, clientWidth, clientHeight);
    setFixedSize(clientWidth, clientHeight);
}

} // namespace dialogs
