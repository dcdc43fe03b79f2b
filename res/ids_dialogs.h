// Dialog templates and their controls.
#pragma once
