#pragma once
// The word-database engine: its own SQLite connection, word lookups and the
// segmentation that marks and embellishes text. Interim: the connection's
// life cycle and an empty word list until the word databases are built.

#include <QObject>
#include <QString>
#include <QStringList>

class Embellish : public QObject
{
    Q_OBJECT
public:
    explicit Embellish(QObject* parent = nullptr);
    ~Embellish() override;

    QStringList getNewWordList(const QString& word, uint newWordType, bool exactly);

    QString connectionName() const { return m_connectionName; }

private:
    QString m_connectionName;
};
