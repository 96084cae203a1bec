/*
** host.h: everything the system calls of its host.
*/
#ifndef NCSHEET_HOST_H
#define NCSHEET_HOST_H

#include "host_runtime.h"
#include "cam.h"
#include "core.h"
#include "csys.h"
#include "curve.h"
#include "defs.h"
#include "draw.h"
#include "drf.h"
#include "layer.h"
#include "modl.h"
#include "styler.h"
#include "ui.h"
#include "view.h"

#endif
