#include "qt/model_dialog.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "platform/dialog_model.h"
#include "qt/page_view.h"

namespace sondrix {

CModelDialog::CModelDialog(CDialogModel& model, const QFont& font, QWidget* parent)
    : QDialog(parent), m_model(model) {
    setFont(font);
    setWindowTitle(QString::fromStdString(model.Caption()));
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_view = new CPageView(model, this);
    layout->addWidget(m_view);
    if (auto* ok = qobject_cast<QPushButton*>(m_view->Widget(IDOK))) {
        ok->setDefault(true);
    }
    connect(&m_view->Binder(), &CControlBinder::refreshed, this, &CModelDialog::OnRefreshed);
}

int CModelDialog::RunModal() {
    if (m_model.Ended()) {
        return m_model.Result();
    }
    m_running = true;
    const int result = exec();
    m_running = false;
    return result;
}

void CModelDialog::OnRefreshed() {
    if (m_running && m_model.Ended() && isVisible()) {
        done(m_model.Result());
    }
}

void CModelDialog::reject() {
    if (m_model.Has(IDCANCEL)) {
        m_view->Binder().Click(IDCANCEL);
    }
    // A modal dialog closes whatever the model made of the Cancel; a
    // modeless one waits for its owner.
    if (m_running && isVisible()) {
        done(IDCANCEL);
    }
}

}  // namespace sondrix
