// crv type list and type show: the database types of the settings, and one type written
// in its settings syntax exactly as it would be saved.
#include <cstdio>
#include <sstream>

#include "base/object_stream.h"
#include "cli/crv_command_list.h"
#include "cli/crv_settings.h"

namespace crv::cli {

int CmdTypeList(CrvContext& ctx) {
    ctx.args.Operands(0, 0);
    auto settings = OpenSettings(ctx);
    if (!settings)
        return kExitFailed;
    for (const auto& proxy : Types(*settings).Proxies())
        std::fprintf(ctx.out, "%s\t%s\t%s\n", proxy.Name().c_str(), proxy.FileName().c_str(),
                     proxy.Version().c_str());
    return kExitOk;
}

int CmdTypeShow(CrvContext& ctx) {
    std::string name = ctx.args.Operands(1, 1)[0];
    auto settings = OpenSettings(ctx);
    if (!settings)
        return kExitFailed;
    CDatabaseTypeProxy* proxy = Types(*settings).FindProxy(name);
    if (!proxy) {
        std::fprintf(stderr, "crv: no database type named %s\n", name.c_str());
        return kExitFailed;
    }
    CDatabaseType* type = proxy->GetType();
    if (!type)
        return kExitFailed;
    std::ostringstream text;
    ObjectStream os(text);
    type->Write(os);
    const std::string& bytes = text.str();
    std::fwrite(bytes.data(), 1, bytes.size(), ctx.out);
    return std::fflush(ctx.out) == 0 ? kExitOk : kExitFailed;
}

} // namespace crv::cli
