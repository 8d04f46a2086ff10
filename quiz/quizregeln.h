// placeholder until its subsystem lands
#pragma once
