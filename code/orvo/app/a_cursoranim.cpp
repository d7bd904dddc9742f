#include "orvo/app/a_cursoranim.h"

namespace {

aCursorAnimOps g_ops;
std::recursive_mutex g_mutex;

} // namespace

void cursoranim_setOps(const aCursorAnimOps& ops)
{
    g_ops = ops;
}

const aCursorAnimOps& cursoranim_ops()
{
    return g_ops;
}

std::recursive_mutex& cursoranim_mutex()
{
    return g_mutex;
}
