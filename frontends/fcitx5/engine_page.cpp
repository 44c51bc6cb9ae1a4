#include "frontends/fcitx5/engine_page.h"

#include "frontends/fcitx5/fcitx5_engine.h"
#include "platform/utf.h"

namespace zv::fcitx5 {

namespace {

class EngineWord : public fcitx::CandidateWord {
public:
    EngineWord(Engine& engine, int onPage, const desktop::CandidateRow& row)
        : fcitx::CandidateWord(fcitx::Text(utf16ToUtf8(row.text))), engine_(engine), onPage_(onPage) {}
    // A click commits the candidate; the list that holds this word is
    // replaced afterwards, outside it.
    void select(fcitx::InputContext* ic) const override {
        if (desktop::InputContext* c = engine_.contextOf(ic)) c->choose(onPage_);
        engine_.applyLater(ic);
    }

private:
    Engine& engine_;
    int onPage_;
};

}  // namespace

EnginePage::EnginePage(Engine& engine, fcitx::InputContext* ic, const desktop::Update& u)
    : engine_(engine), ic_(ic), highlight_(u.highlight), firstPage_(u.firstPage), lastPage_(u.lastPage) {
    setPageable(this);
    for (size_t i = 0; i < u.candidates.size(); ++i) {
        const desktop::CandidateRow& row = u.candidates[i];
        labels_.emplace_back(utf16ToUtf8(row.label) + ". ");
        words_.push_back(std::make_unique<EngineWord>(engine, static_cast<int>(i), row));
    }
}

void EnginePage::prev() {
    if (desktop::InputContext* c = engine_.contextOf(ic_)) c->turnPage(false);
    engine_.applyLater(ic_);
}

void EnginePage::next() {
    if (desktop::InputContext* c = engine_.contextOf(ic_)) c->turnPage(true);
    engine_.applyLater(ic_);
}

}  // namespace zv::fcitx5
