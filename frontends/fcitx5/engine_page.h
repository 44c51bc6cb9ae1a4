#pragma once
// The engine's candidate page as fcitx5's candidate list: the page is the
// engine's, so fcitx5's paging buttons and a click go back to the engine.

#include "frontends/desktop/input_context.h"

#include <fcitx/candidatelist.h>

#include <memory>
#include <vector>

namespace zv::fcitx5 {

class Engine;

class EnginePage : public fcitx::CandidateList, public fcitx::PageableCandidateList {
public:
    EnginePage(Engine& engine, fcitx::InputContext* ic, const desktop::Update& update);

    const fcitx::Text& label(int index) const override { return labels_.at(static_cast<size_t>(index)); }
    const fcitx::CandidateWord& candidate(int index) const override { return *words_.at(static_cast<size_t>(index)); }
    int size() const override { return static_cast<int>(words_.size()); }
    int cursorIndex() const override { return highlight_; }
    fcitx::CandidateLayoutHint layoutHint() const override { return fcitx::CandidateLayoutHint::Horizontal; }

    bool hasPrev() const override { return !firstPage_; }
    bool hasNext() const override { return !lastPage_; }
    void prev() override;
    void next() override;
    bool usedNextBefore() const override { return true; }

private:
    Engine& engine_;
    fcitx::InputContext* ic_;
    std::vector<fcitx::Text> labels_;
    std::vector<std::unique_ptr<fcitx::CandidateWord>> words_;
    int highlight_ = 0;
    bool firstPage_ = true, lastPage_ = true;
};

}  // namespace zv::fcitx5
