#pragma once

#include "DiroruStrokeConfig.h"
#include "StrokeEngineLogic.h"

#include <fcitx/addonfactory.h>
#include <fcitx/inputmethodengine.h>

#include <memory>

namespace fcitx {
class Instance;
class InputContext;
}

// The fcitx5 engine "DiroruDIV stroke": fcitx5 key events in, preedit and
// candidate list out, everything else in StrokeEngineLogic. One logic
// serves every input context: only the focused one types, and focus moves
// reset it.
class DiroruStrokeEngine : public fcitx::InputMethodEngineV2
{
public:
    explicit DiroruStrokeEngine(fcitx::Instance* instance);
    ~DiroruStrokeEngine() override;

    void keyEvent(const fcitx::InputMethodEntry& entry, fcitx::KeyEvent& event) override;
    void activate(const fcitx::InputMethodEntry& entry, fcitx::InputContextEvent& event) override;
    void deactivate(const fcitx::InputMethodEntry& entry, fcitx::InputContextEvent& event) override;
    void reset(const fcitx::InputMethodEntry& entry, fcitx::InputContextEvent& event) override;

    void reloadConfig() override;
    const fcitx::Configuration* getConfig() const override { return &m_config; }
    void setConfig(const fcitx::RawConfig& config) override;

    // A candidate of the list shown was clicked.
    void select(fcitx::InputContext* ic, int index);

    // What a fcitx5 key is to the shared key map.
    static StrokeKeyMap::Input keyInput(const fcitx::Key& key, bool release);
    // The folder the engine reads: the configured one, or when its word.dat
    // cannot be written (the installed pack), a copy of it in the user's
    // data folder, so that learning is kept.
    static QString dataFolder(const std::string& configured);

private:
    void applyField(fcitx::InputContext* ic);
    void commitAndUpdate(fcitx::InputContext* ic, const QString& commit);

    fcitx::Instance* m_instance;
    DiroruStrokeConfig m_config;
    std::unique_ptr<StrokeEngineLogic> m_logic;
};

class DiroruStrokeFactory : public fcitx::AddonFactory
{
public:
    fcitx::AddonInstance* create(fcitx::AddonManager* manager) override;
};
