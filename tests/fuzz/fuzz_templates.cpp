// Feeds arbitrary bytes to the template reader, the random draws, the tree
// builder and the writer. Besides crashes, hangs and leaks it checks that the
// draws stay in range and that whatever the reader accepts, the writer writes
// back in a form the reader accepts again, settling after one round.

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QSet>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>

#include "DomParser.h"
#include "RandomSource.h"
#include "TemplateWriter.h"

namespace {

QTreeWidget* trees[3] = {nullptr, nullptr, nullptr};

void dropMessage(QtMsgType, const QMessageLogContext&, const QString&)
{
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_templates: %s\n", what);
    std::abort();
}

void checkDraws(DomParser& parser)
{
    QStringList texts;
    QList<QList<int>> positions;
    int entryCount = -1;
    parser.pickRandomContents(texts, entryCount, positions);
    if (entryCount < 0 || texts.size() != positions.size() || texts.size() > entryCount)
        fail("draws: lists out of step");
    int previous = -1;
    for (const QList<int>& position : positions) {
        if (position.size() != 2 || position[0] <= previous || position[0] >= entryCount || position[1] < 0)
            fail("draws: position out of range");
        previous = position[0];
    }
    QStringList first;
    QList<QList<int>> firstPositions;
    parser.pickRandomContentsOfFirstEntry(first, firstPositions, 3);
    QSet<QList<int>> lines;
    for (const QList<int>& position : firstPositions) {
        if (position.size() == 2)
            lines.insert(position);
        else if (position.size() != 1)
            fail("first-entry draws: position out of range");
    }
    if (first.size() != firstPositions.size() || lines.size() > 3 || lines.size() + 2 < firstPositions.size())
        fail("first-entry draws: wrong count or a line drawn twice");
}

QByteArray write(QTreeWidget* tree, const DomParser& parser, TemplateWriter::Form form)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TemplateWriter writer(tree);
    writer.setForm(form);
    writer.setHeader(parser.header);
    if (!writer.writeFile(&buffer, parser.title))
        fail("writer failed on a buffer");
    return buffer.data();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QByteArray home = QDir::tempPath().toLocal8Bit() + "/tarnquill-fuzz";
    qputenv("XDG_CONFIG_HOME", home + "/config");
    qputenv("XDG_RUNTIME_DIR", home + "/runtime");
    QDir().mkpath(QString::fromLocal8Bit(home + "/runtime"));
    qInstallMessageHandler(dropMessage);
    static int argc = 1;
    static char name[] = "fuzz_templates";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    for (QTreeWidget*& tree : trees)
        tree = new QTreeWidget;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    RandomSource::seed(quint32(size));

    DomParser parser(trees[0]);
    if (parser.readData(bytes)) {
        checkDraws(parser);
        if (parser.buildTree()) {
            const QByteArray once = write(trees[0], parser, TemplateWriter::Form::Plain);
            DomParser second(trees[1]);
            if (!second.readData(once) || !second.buildTree())
                fail("a written template does not read back");
            checkDraws(second);
            const QByteArray twice = write(trees[1], second, TemplateWriter::Form::Plain);
            DomParser third(trees[2]);
            if (!third.readData(twice) || !third.buildTree())
                fail("a rewritten template does not read back");
            if (write(trees[2], third, TemplateWriter::Form::Plain) != twice)
                fail("writing does not settle");
            DomParser fromBase64;
            if (!fromBase64.readData(write(trees[2], third, TemplateWriter::Form::Base64)) || !fromBase64.buildTree()
                || fromBase64.title != third.title || fromBase64.header != third.header)
                fail("the Base64 form reads back differently");
        }
    }
    QCoreApplication::processEvents();
    return 0;
}
