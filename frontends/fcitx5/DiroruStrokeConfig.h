#pragma once

#include <fcitx-config/configuration.h>
#include <fcitx-config/option.h>
#include <fcitx-utils/i18n.h>

#include <string>

// The engine's options, stored in conf/diroru-stroke.conf under the user's
// fcitx5 folder and shown by fcitx5-configtool.
FCITX_CONFIGURATION(DiroruStrokeConfig,
    fcitx::Option<std::string> DataDir{this, "DataDir", _("Data folder"), DIRORU_INSTALLED_PACK};
    fcitx::Option<bool> Association{this, "Association", _("Association after a choice"), true};
    fcitx::Option<int, fcitx::IntConstrain> PageSize{this, "PageSize", _("Candidates per page"), 5,
                                                     fcitx::IntConstrain(1, 10)};);
