#include "orvo/app/a_cursoranim.h"

namespace {

aCursorAnimOps g_ops;

} // namespace

void cursoranim_setOps(const aCursorAnimOps& ops)
{
    g_ops = ops;
}

const aCursorAnimOps& cursoranim_ops()
{
    return g_ops;
}
