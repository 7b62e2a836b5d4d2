#pragma once

#include "foundation/Messages.h"

#include <QList>
#include <QQueue>

// Records every message instead of showing it and answers questions from a queue
// (OK when the queue is empty). Installs itself for its lifetime.
class RecordingPresenter final : public MessagePresenter
{
public:
    struct Message
    {
        MessageKind kind;
        QString caption;
        QString text;
    };

    RecordingPresenter() { SetMessagePresenter(this); }
    ~RecordingPresenter() override { SetMessagePresenter(nullptr); }

    void show(MessageKind kind, const QString& caption, const QString& text) override
    {
        messages.append({kind, caption, text});
    }
    bool confirm(const QString& caption, const QString& text) override
    {
        messages.append({MessageKind::Question, caption, text});
        return answers.isEmpty() ? true : answers.dequeue();
    }
    bool inputText(const QString& caption, const QString& prompt, QString& value) override
    {
        messages.append({MessageKind::Question, caption, prompt});
        if (texts.isEmpty())
            return false;
        value = texts.dequeue();
        return true;
    }
    bool pickDate(const QString& prompt, QDate& date) override
    {
        messages.append({MessageKind::Question, QString(), prompt});
        if (dates.isEmpty())
            return false;
        date = dates.dequeue();
        return true;
    }

    QStringList textsOf(MessageKind kind) const
    {
        QStringList result;
        for (const Message& m : messages)
            if (m.kind == kind)
                result.append(m.text);
        return result;
    }

    QList<Message> messages;
    QQueue<bool> answers;
    QQueue<QString> texts;
    QQueue<QDate> dates;
};
