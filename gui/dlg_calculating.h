// The calculating window: shown while a computation runs on its worker,
// application-modal so that no other input is taken. Cancel (and Esc) ask
// the computation to stop; the window closes when the worker has ended.
#pragma once

#include <QDialog>

class QPushButton;

class CDlgCalculating : public QDialog {
    Q_OBJECT
public:
    explicit CDlgCalculating(QWidget* parent = nullptr);
    QPushButton* cancel_button() const { return m_cancel; }

signals:
    void cancel_requested();

public slots:
    // Esc and the window manager's close come here: they cancel, and the
    // window stays until the worker is gone.
    void reject() override;

private:
    QPushButton* m_cancel;
};
