// Main window: the crash tests of super-user mode.

#include "MainWindow.h"

#include <QDebug>
#include <QMessageBox>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "Prompt.h"

// ---- Crash tests (super-user mode only) ----------------------------------------------
// Each provokes its failure by deterministic means, so that optimisation cannot turn
// the test into nothing or into a hang.

namespace {
// Never cleared; read through volatile so the compiler cannot prove the recursion endless.
volatile bool recurseFurther = true;

int nonTerminatingRecursion(int depth)
{
    volatile char frame[256];
    frame[depth & 0xff] = static_cast<char>(depth);
    if (!recurseFurther)
        return frame[0];
    return nonTerminatingRecursion(depth + 1) + frame[0];
}
}

void MainWindow::divisionByZero()
{
    qDebug() << Q_FUNC_INFO;
    volatile int zero = 0;
    volatile int result = 1 / zero;
    Q_UNUSED(result);
}

void MainWindow::segmentationFault()
{
    qDebug() << Q_FUNC_INFO;
    std::raise(SIGSEGV);
}

void MainWindow::stackOverflow()
{
    qDebug() << Q_FUNC_INFO;
    nonTerminatingRecursion(0);
}

void MainWindow::bufferOverflow()
{
    qDebug() << Q_FUNC_INFO;
    char buffer[8];
    volatile size_t length = 64;
    // The checked copy reports the overrun and ends the process.
    __builtin___memset_chk(buffer, 'x', length, sizeof buffer);
    qDebug() << buffer[0];
}

void MainWindow::memoryLeak()
{
    qDebug() << Q_FUNC_INFO;
    QMessageBox box(QMessageBox::Warning, tr("警告!"),
                    tr("此项测试有可能耗时很久，且导致系统极慢，甚至崩溃，请保存好所有文档，然后继续, 您确定继续吗?"),
                    QMessageBox::Yes | QMessageBox::Cancel);
    if (Prompt::current().exec(box) != QMessageBox::Yes) {
        qDebug() << "User canceled!";
        return;
    }
    // Leaks at most 1 GiB, touched page by page, so the test never wakes the
    // system's out-of-memory killer.
    constexpr size_t chunk = 16u << 20;
    for (size_t leaked = 0; leaked < (1u << 30); leaked += chunk) {
        char* block = new (std::nothrow) char[chunk];
        if (!block)
            break;
        std::memset(block, 0x5a, chunk);
    }
}

void MainWindow::abortFunc()
{
    qDebug() << Q_FUNC_INFO;
    std::abort();
}

void MainWindow::assertFalse()
{
    qDebug() << Q_FUNC_INFO;
    // Fails like assert(false) whether or not assertions are compiled in.
    std::fprintf(stderr, "%s:%d: %s: Assertion `false' failed.\n", __FILE__, __LINE__, Q_FUNC_INFO);
    std::abort();
}

int MainWindow::throwException()
{
    qDebug() << Q_FUNC_INFO;
    try {
        throw 1;
    } catch (...) {
        qDebug() << "Exception catched";
    }
    qDebug() << "Next throw 2 without catch!";
    throw 2;
}

void MainWindow::freeUninitializedPointer()
{
    qDebug() << Q_FUNC_INFO;
    int notOnTheHeap = 0;
    void* volatile wild = &notOnTheHeap;
    free(wild);
}

void MainWindow::deleteUninitializedPointer()
{
    qDebug() << Q_FUNC_INFO;
    int notOnTheHeap = 0;
    int* volatile wild = &notOnTheHeap;
    delete wild;
}
