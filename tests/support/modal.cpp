#include "tests/support/modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <memory>

void AnswerNextModal(std::function<void(QWidget*)> answer, int timeoutMs)
{
    auto* timer = new QTimer(qApp);
    auto deadline = std::make_shared<QDeadlineTimer>(timeoutMs);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer, deadline] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        } else if (deadline->hasExpired()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

void PressInNextMessageBox(const QString& buttonText, QString* seenText, int timeoutMs)
{
    AnswerNextModal(
        [buttonText, seenText](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box) {
                w->close();
                return;
            }
            if (seenText)
                *seenText = box->text();
            for (QAbstractButton* b : box->buttons()) {
                if (b->text() == buttonText || b->text().remove(QLatin1Char('&')) == QString(buttonText).remove(QLatin1Char('&'))) {
                    b->click();
                    return;
                }
            }
            box->reject();
        },
        timeoutMs);
}
