// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/Shell.h"

#include <QDesktopServices>
#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

namespace platform {

namespace {

// A plain, non-modal, resizable window over a scrolling browser of the help page.
class HelpViewer : public QWidget {
public:
    HelpViewer() : QWidget(nullptr, Qt::Window), browser_(new QTextBrowser(this)) {
        setAttribute(Qt::WA_DeleteOnClose);
        setObjectName(QStringLiteral("HelpViewer"));
        browser_->setOpenExternalLinks(true);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser_);
        resize(560, 480);
    }

    void load(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return;
        browser_->setHtml(QString::fromUtf8(file.readAll()));
        setWindowTitle(browser_->documentTitle());
    }

private:
    QTextBrowser* browser_;
};

QPointer<HelpViewer>& viewer() {
    static QPointer<HelpViewer> window;
    return window;
}

} // namespace

void ShellExecute(const std::string& file, const std::string&, const std::string&,
                  int showCommand) {
    const QString path = QString::fromStdString(file);
    if (!path.endsWith(QStringLiteral(".hlp"), Qt::CaseInsensitive)) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
        return;
    }
    if (!QFile::exists(path))
        return;
    if (!viewer())
        viewer() = new HelpViewer;
    viewer()->load(path);
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
