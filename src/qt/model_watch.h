#pragma once

#include <functional>

namespace sondrix {

class CDialogModel;

// A dialog model reports its changes to a single observer, yet one model can
// be on screen twice (the About page in its tab and in the About box). Every
// view watches its model through one of these, and all watchers of a model
// hear every change. A watcher must not outlive its model.
class CModelWatch {
  public:
    using Callback = std::function<void(int id)>;

    CModelWatch(CDialogModel& model, Callback callback);
    ~CModelWatch();
    CModelWatch(const CModelWatch&) = delete;
    CModelWatch& operator=(const CModelWatch&) = delete;

  private:
    static void Notify(CDialogModel* model, int id);

    CDialogModel& m_model;
    Callback m_callback;
};

}  // namespace sondrix
