/*
** host.h: everything the system calls of its host.
*/
#ifndef NCSHEET_HOST_H
#define NCSHEET_HOST_H

#include "host_runtime.h"
#include "uf_cam.h"
#include "uf_core.h"
#include "uf_csys.h"
#include "uf_curve.h"
#include "uf_defs.h"
#include "uf_draw.h"
#include "uf_drf.h"
#include "uf_layer.h"
#include "uf_modl.h"
#include "uf_styler.h"
#include "uf_ui.h"
#include "uf_view.h"

#endif
