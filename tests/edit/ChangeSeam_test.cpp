// One engine for every front end: the changes the command line makes to a movie are the
// engine's own, byte for byte.
#include <gtest/gtest.h>

#include "edit/MovieSave.h"
#include "edit/VariableText.h"
#include "support/Installation.h"
#include "support/PictureFiles.h"
#include "support/ReadMovie.h"
#include "support/TempDir.h"
#include "swf/MovieVariables.h"
#include "swf/SWFFile.h"
#include "swf/SWFWriter.h"

namespace tarvenox {
namespace {

TEST(ChangeSeam, CommandLineAndEngineCallGiveTheSameMovie) {
    test::TempDir dir;
    const std::string in = dir.write("in.swf", test::templateMovie());
    const std::string jpeg = dir.write("p.jpg", test::encodeJpeg(12, 9, false));
    auto r = test::runTarvenox("save '" + in + "' -o out.swf --font 'Title=DejaVu Sans' --image 'Back=" + jpeg +
                                   "' --var title=Gr\xC3\xBC\xC3\x9F"
                                   "e --var count:i=7 --background '#336699'",
                               dir.path());
    ASSERT_EQ(r.status, 0) << r.err;

    SWFFile movie = test::readMovie(in);
    ActionVariables variables;
    for (const char* spec : {"title=Gr\xC3\xBC\xC3\x9F"
                             "e",
                             "count:i=7"}) {
        std::unique_ptr<SWFType> variable;
        ASSERT_FALSE(parseTypedVariable(spec, variable).failed());
        variables.push_back(std::move(variable));
    }
    const Report report =
        customiseMovie(movie, {{"Title", "DejaVu Sans"}}, {{"Back", jpeg}}, {}, {}, nullptr, 0x336699);
    ASSERT_FALSE(report.failed()) << report.text();
    ASSERT_FALSE(assignVariables(movie, variables).failed());
    EXPECT_EQ(serializeSWF(movie), test::readBytes(dir.file("out.swf")));
}

}  // namespace
}  // namespace tarvenox
