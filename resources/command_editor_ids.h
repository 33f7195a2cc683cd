// Resource ids of the command editor and its action panels.
#pragma once
