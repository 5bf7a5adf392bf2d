// SPDX-License-Identifier: GPL-3.0-or-later
#include <Version.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
    int Status = -1;
    QStringList Lines;
    QByteArray Errors;
};

} // namespace

// velmar-solve as a player or a script meets it: lines in, lines out, an exit status.
class TestSolveCommand : public QObject {
    Q_OBJECT
    QTemporaryDir cache_; // one cache for all cases, so the tables are built once

    Run run(const QByteArray& input, const QStringList& arguments = {}) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CACHE_HOME", cache_.path());
        process.setProcessEnvironment(environment);
        process.start(VELMAR_SOLVE_PATH, arguments);
        if (!process.waitForStarted())
            return {};
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
            return {};
        Run result;
        result.Status = process.exitCode();
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        result.Lines = out.split('\n');
        if (result.Lines.last().isEmpty())
            result.Lines.removeLast();
        result.Errors = process.readAllStandardError();
        return result;
    }

private slots:
    void everyLineGetsItsShortestSolution() {
        const Run result = run("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n"
                               "1 2 3 4 5 6 7 8 9 10 11 12 13 14 16 15\n"
                               "  1 2 3 4\t5 6 7 8 9 10 16 11 13 14 15 12  \n"
                               "1 2 3 4 5 6 7 8 9 10 11 12 13 14 16 15");
        QCOMPARE(result.Status, 0);
        QCOMPARE(result.Lines, (QStringList{"0", "1 15", "2 11 12", "1 15"}));
        QVERIFY(result.Errors.isEmpty());
    }

    void badLinesAreNamedByNumberAndTheOthersStillSolved() {
        const Run result = run("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15\n"
                               "1 2 3 4 5 6 7 8 9 10 11 12 13 14 16 15\n"
                               "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 15\n"
                               "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 17\n"
                               "1 2 3 4 5 6 7 8 9 10 11 12 13 x 15 16\n"
                               "\n"
                               "2 1 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n"
                               "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 1\n");
        QCOMPARE(result.Status, 1);
        QCOMPARE(result.Lines.size(), 8);
        QCOMPARE(result.Lines[0], "error: line 1: expected 16 numbers, found 15");
        QCOMPARE(result.Lines[1], "1 15");
        QCOMPARE(result.Lines[2], "error: line 3: 15 appears twice (numbers 15 and 16)");
        QCOMPARE(result.Lines[3], "error: line 4: 17 is out of range 1..16");
        QCOMPARE(result.Lines[4], "error: line 5: 'x' is not a number");
        QCOMPARE(result.Lines[5], "error: line 6: expected 16 numbers, found 0");
        QVERIFY(result.Lines[6].startsWith("error: line 7: unsolvable"));
        QCOMPARE(result.Lines[7], "error: line 8: expected 16 numbers, found 17");
    }

    void aLongSolutionListsEveryTile() {
        const Run result = run("16 15 14 13 12 11 10 9 8 7 6 5 4 3 2 1\n");
        QCOMPARE(result.Status, 0);
        QCOMPARE(result.Lines.size(), 1);
        const QStringList words = result.Lines[0].split(' ');
        QCOMPARE(words.size() - 1, words[0].toInt());
        QVERIFY(words[0].toInt() > 40);
    }

    void helpVersionAndWrongArgumentsAnswerAsTheGameDoes() {
        const Run help = run("", {"--help"});
        QCOMPARE(help.Status, 0);
        QVERIFY(help.Lines.value(0).startsWith("Usage: velmar-solve"));
        const Run version = run("", {"--version"});
        QCOMPARE(version.Status, 0);
        QCOMPARE(version.Lines, QStringList{QString("velmar-solve ") + VELMAR_VERSION});
        const Run wrong = run("", {"--bogus"});
        QCOMPARE(wrong.Status, 2);
        QVERIFY(wrong.Lines.isEmpty());
        QVERIFY(wrong.Errors.contains("unknown option --bogus"));
    }

    void noInputIsNoWorkAndSuccess() {
        const Run result = run("");
        QCOMPARE(result.Status, 0);
        QVERIFY(result.Lines.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSolveCommand)
#include "TestSolveCommand.moc"
