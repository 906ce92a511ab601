#include "qt/model_watch.h"

#include <algorithm>
#include <map>
#include <vector>

#include "platform/dialog_model.h"

namespace sondrix {

namespace {

// Watchers per model; only the UI thread touches it.
std::map<CDialogModel*, std::vector<CModelWatch*>>& Watchers() {
    static std::map<CDialogModel*, std::vector<CModelWatch*>> watchers;
    return watchers;
}

}  // namespace

CModelWatch::CModelWatch(CDialogModel& model, Callback callback)
    : m_model(model), m_callback(std::move(callback)) {
    std::vector<CModelWatch*>& list = Watchers()[&model];
    if (list.empty()) {
        CDialogModel* watched = &model;
        model.SetObserver([watched](int id) { Notify(watched, id); });
    }
    list.push_back(this);
}

CModelWatch::~CModelWatch() {
    auto it = Watchers().find(&m_model);
    std::erase(it->second, this);
    if (it->second.empty()) {
        Watchers().erase(it);
        m_model.SetObserver({});
    }
}

void CModelWatch::Notify(CDialogModel* model, int id) {
    auto it = Watchers().find(model);
    if (it == Watchers().end()) {
        return;
    }
    // A callback may close a view and so end other watchers of this model.
    const std::vector<CModelWatch*> snapshot = it->second;
    for (CModelWatch* watcher : snapshot) {
        auto now = Watchers().find(model);
        if (now == Watchers().end() ||
            std::find(now->second.begin(), now->second.end(), watcher) == now->second.end()) {
            continue;
        }
        watcher->m_callback(id);
    }
}

}  // namespace sondrix
