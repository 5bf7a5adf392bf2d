// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/Shell.h"

#include "platform/files/Files.h"
#include "platform/files/FolderFile.h"
#include "platform/ui/Application.h"
#include "platform/ui/HelpPages.h"
#include "platform/ui/SharedPaletteStyle.h"

#include <QDesktopServices>
#include <QEvent>
#include <QLocale>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

#include <optional>

namespace platform {

namespace {

// A plain, non-modal, resizable window over a scrolling browser of the help page. It belongs
// to the main window's life: it never keeps the program running and closes with that window.
// It shows the page of the main window's language and follows that window's locale changes.
class HelpViewer : public QWidget {
public:
    explicit HelpViewer(QWidget* owner)
        : QWidget(owner, Qt::Window), owner_(owner), browser_(new QTextBrowser(this)) {
        setAttribute(Qt::WA_DeleteOnClose);
        setAttribute(Qt::WA_QuitOnClose, false);
        setObjectName(QStringLiteral("HelpViewer"));
        browser_->setOpenExternalLinks(true);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser_);
        resize(560, 480);
        UseSharedPalettes(*this); // a new viewer's palette is a new copy every time
        if (owner_)
            owner_->installEventFilter(this);
    }

    void load(const QByteArray& document) {
        document_ = QString::fromUtf8(document);
        showPage();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A close or hide by the program, not the window manager's minimising.
        if (watched == owner_ && event->type() == QEvent::Hide && !event->spontaneous())
            close();
        if (watched == owner_ && event->type() == QEvent::LocaleChange)
            showPage();
        return QWidget::eventFilter(watched, event);
    }

private:
    void showPage() {
        const QLocale locale = owner_ ? owner_->locale() : QLocale();
        browser_->setHtml(HelpPageFor(document_, QLocale::languageToCode(locale.language())));
        setWindowTitle(browser_->documentTitle());
        browser_->setAccessibleName(browser_->documentTitle());
    }

    QPointer<QWidget> owner_;
    QTextBrowser* browser_;
    QString document_;
};

QPointer<HelpViewer>& viewer() {
    static QPointer<HelpViewer> window;
    return window;
}

// The page, read through its folder's checks; nothing when it cannot be read.
std::optional<QByteArray> readPage(const std::string& file) {
    std::string bytes;
    if (ReadFileBytes(file, bytes) != ReadResult::Ok)
        return std::nullopt;
    return QByteArray::fromStdString(bytes);
}

} // namespace

void ShellExecute(const std::string& file, const std::string&, const std::string&,
                  int showCommand) {
    const QString path = QString::fromStdString(file);
    if (!path.endsWith(QStringLiteral(".hlp"), Qt::CaseInsensitive)) {
        const FolderFile place(file);
        // Another program opens it by its path: only ever from a folder that is ours.
        if (place.Reachable() || !place.InPrivateFolder())
            QDesktopServices::openUrl(QUrl::fromLocalFile(path));
        return;
    }
    const std::optional<QByteArray> page = readPage(file);
    if (!page)
        return;
    if (!viewer())
        viewer() = new HelpViewer(Application().MainForm());
    viewer()->load(*page);
    if (showCommand == SW_HIDE)
        return;
    viewer()->show();
    viewer()->raise();
    viewer()->activateWindow();
}

QWidget* HelpViewerWindow() {
    return viewer();
}

} // namespace platform
