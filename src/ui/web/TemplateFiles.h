// The templates' server: the working copies of templates, read-only, for the page's
// players, from an origin that holds nothing else.
#pragma once

#include <string_view>

#include "ui/web/FileRoot.h"
#include "ui/web/GatedRequests.h"

namespace tarvenox::web {

// Whether a file of the working folder, by its name there, is a template's movie that the
// templates' server serves: a movie (".swf") at the top of the folder other than the
// installation's own interface movies ("skin.swf", "button.swf"). These are the working
// copy of the template being edited (which holds the user's pictures already), the
// template's editor movie and the thumbnails' copies; the texts, the interface movies and
// anything in a subfolder are not.
bool isTemplateMovie(std::string_view name);

class PreviewBridge;

// Also, with a preview bridge: "poll/N", the polls of the preview's movie number N, and
// the bridged copy of the preview's movie in place of its file.
class TemplateFiles : public ReadOnlyHandler {
public:
    TemplateFiles(std::filesystem::path workingFolder, const RequestGate& gate, PreviewBridge* preview = nullptr);

    bool handleGet(CivetServer* server, mg_connection* connection) override;
    bool handleHead(CivetServer* server, mg_connection* connection) override;

private:
    const RequestGate& gate_;
    PreviewBridge* preview_;
    FileRoot working_;
};

}  // namespace tarvenox::web
