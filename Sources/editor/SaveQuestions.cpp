#include "SaveQuestions.h"

#include <QDebug>
#include <QMessageBox>
#include <QPushButton>

#include "MdiChild.h"
#include "Prompt.h"

namespace {

enum EncodingQuestionAnswer { EncodingCancel = 0, EncodingGb18030 = 1, EncodingUtf8 = 2 };
enum LossyQuestionAnswer { LossyCancel = 0, LossySave = 1 };

// How a box names one character: itself in quotes, or its code ("U+00A0") when
// it would show as nothing or as a blank (spaces, controls, format characters,
// marks without a base).
QString namedCharacter(const QString& character)
{
    const uint code = character.size() == 2 ? QChar::surrogateToUcs4(character.at(0), character.at(1))
                                            : character.at(0).unicode();
    const QChar::Category category = QChar::category(code);
    const bool invisible = !QChar::isPrint(code) || QChar::isSpace(code) || category == QChar::Mark_NonSpacing
                           || category == QChar::Mark_Enclosing || category == QChar::Mark_SpacingCombining;
    if (invisible)
        return QStringLiteral("U+") + QString::number(code, 16).toUpper().rightJustified(4, QLatin1Char('0'));
    return QLatin1Char('"') + character + QLatin1Char('"');
}

} // namespace

int SaveQuestions::askSaveDiscardCancel(QWidget* parent, const QString& name)
{
    qDebug() << Q_FUNC_INFO << ", name =" << name;
    QMessageBox box(QMessageBox::Warning, MdiChild::tr("警告"), MdiChild::tr("'%1' 已经修改，是否保存?").arg(name),
                    QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton* cancel = box.addButton(MdiChild::tr("取消"), QMessageBox::RejectRole);
    box.addButton(MdiChild::tr("保存"), QMessageBox::AcceptRole);
    box.addButton(MdiChild::tr("不保存"), QMessageBox::DestructiveRole);
    box.setDefaultButton(cancel);
    return Prompt::current().exec(box);
}

QString SaveQuestions::askEncodableEncoding(QWidget* parent, const QString& encoding, const QString& text, int index)
{
    const int length = index + 1 < text.size() && text.at(index).isHighSurrogate() ? 2 : 1;
    const QString sample = text.mid(index, length);
    qWarning() << "Characters the encoding cannot hold, encoding =" << encoding << ", first =" << sample;
    QMessageBox box(QMessageBox::Warning, MdiChild::tr("警告"),
                    MdiChild::tr("当前编码 %1 无法保存文档中的部分字符 (例如 %2), 直接保存会把它们变成问号.\n"
                                 "请选择改用哪种编码保存:")
                        .arg(encoding, namedCharacter(sample)),
                    QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton* cancel = box.addButton(MdiChild::tr("取消"), QMessageBox::RejectRole);
    box.addButton(QStringLiteral("GB18030"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("UTF-8"), QMessageBox::AcceptRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    switch (Prompt::current().exec(box)) {
    case EncodingGb18030:
        return QStringLiteral("GB18030");
    case EncodingUtf8:
        return QStringLiteral("UTF-8");
    default:
        return QString();
    }
}

bool SaveQuestions::confirmLossySave(QWidget* parent, const QString& fileName, const QString& encoding)
{
    QMessageBox box(QMessageBox::Warning, MdiChild::tr("警告"),
                    MdiChild::tr("文件 %1 打开时含有不符合 %2 编码的字节, 它们显示为替换字符 \"%3\".\n"
                                 "保存后这些字节将被替换字符取代, 原来的内容无法还原. 确定要保存吗?")
                        .arg(fileName, encoding, QString(QChar(QChar::ReplacementCharacter))),
                    QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton* cancel = box.addButton(MdiChild::tr("取消"), QMessageBox::RejectRole);
    box.addButton(MdiChild::tr("保存"), QMessageBox::AcceptRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    return Prompt::current().exec(box) == LossySave;
}
