#include "dlg_calculating.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

CDlgCalculating::CDlgCalculating(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_cancel(new QPushButton(tr("Cancel"), this)) {
    setObjectName("calculating");
    setWindowModality(Qt::ApplicationModal);
    // Without a caption the window needs an edge of its own.
    auto* edge = new QFrame(this);
    edge->setFrameStyle(QFrame::Panel | QFrame::Raised);
    edge->setLineWidth(2);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(edge);
    auto* layout = new QVBoxLayout(edge);
    auto* label = new QLabel(tr("Calculating..."), this);
    label->setAlignment(Qt::AlignCenter);
    // Minimum equal to maximum: Qt's busy animation, it runs without any progress reported.
    auto* busy = new QProgressBar(this);
    busy->setRange(0, 0);
    busy->setTextVisible(false);
    busy->setMinimumWidth(240);
    m_cancel->setObjectName("cancel");
    layout->addWidget(label);
    layout->addWidget(busy);
    layout->addWidget(m_cancel, 0, Qt::AlignCenter);
    connect(m_cancel, &QPushButton::clicked, this, &CDlgCalculating::reject);
}

void CDlgCalculating::reject() {
    m_cancel->setEnabled(false);
    emit cancel_requested();
}
