// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Answers the modal dialogs a test makes the program open: while it lives, every dialog
// that becomes the active modal widget is handed to `answer`, which closes the ones it
// knows and says whether it did.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace zelvorin::test {

class ModalAnswerer : public QObject {
public:
    explicit ModalAnswerer(std::function<bool(QWidget* modal)> answer)
        : m_answer(std::move(answer)) {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && m_answer(modal))
                ++m_answered;
        });
        m_timer.start();
    }
    int answered() const { return m_answered; }

private:
    std::function<bool(QWidget*)> m_answer;
    QTimer m_timer;
    int m_answered = 0;
};

// Answers every Yes/No question box with Yes or No (other boxes are closed), and keeps
// the last question's text. `onAsk` runs while the question is open (to look at the
// program's state at that moment).
class QuestionAnswerer : public ModalAnswerer {
public:
    explicit QuestionAnswerer(bool yes, std::function<void()> onAsk = {})
        : ModalAnswerer([this, yes, onAsk = std::move(onAsk)](QWidget* modal) {
              auto* box = qobject_cast<QMessageBox*>(modal);
              if (box == nullptr)
                  return false;
              m_lastQuestion = box->text();
              if (onAsk)
                  onAsk();
              // The question's answer is the button clicked, not the dialog's result code.
              if (QAbstractButton* button = box->button(yes ? QMessageBox::Yes : QMessageBox::No))
                  button->click();
              else
                  box->reject();
              return true;
          }) {}
    int asked() const { return answered(); }
    QString lastQuestion() const { return m_lastQuestion; }

private:
    QString m_lastQuestion;
};

} // namespace zelvorin::test
