// SPDX-License-Identifier: GPL-3.0-or-later
// The page of one language out of a help document that holds several.
#include "platform/ui/HelpPages.h"

#include <QTest>
#include <QTextDocument>

namespace {

const QString kDocument = QStringLiteral(
    "<!DOCTYPE html><html><head><title>All</title></head><body>\n"
    "<section lang=\"en\" title=\"Help &amp; more\">\n<p>English page</p>\n</section>\n"
    "<section lang=\"ru\" title=\"Справка\">\n<p>Русская страница 100%1</p>\n</section>\n"
    "</body></html>\n");

} // namespace

class TestHelpPages : public QObject {
    Q_OBJECT
private slots:
    void aLanguageGetsItsOwnPageElseTheEnglishOne_data() {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("its own page") << kDocument << "ru"
                                      << "Справка"
                                      << "Русская страница 100%1";
        QTest::newRow("English") << kDocument << "en"
                                 << "Help & more"
                                 << "English page";
        QTest::newRow("a language without a page") << kDocument << "de"
                                                   << "Help & more"
                                                   << "English page";
        QTest::newRow("the locale without a language") << kDocument << "C"
                                                       << "Help & more"
                                                       << "English page";
        QTest::newRow("a document of one page")
            << QString("<html><title>Planted</title><p>only</p></html>") << "ru"
            << "Planted"
            << "only";
    }
    void aLanguageGetsItsOwnPageElseTheEnglishOne() {
        QFETCH(QString, document);
        QFETCH(QString, code);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QTextDocument page;
        page.setHtml(platform::HelpPageFor(document, code));
        QCOMPARE(page.metaInformation(QTextDocument::DocumentTitle), title);
        QCOMPARE(page.toPlainText().trimmed(), text);
    }
};

QTEST_MAIN(TestHelpPages)
#include "TestHelpPages.moc"
