// The twelve 16 x 16 images of the device trees (indexes of DevTreeImage):
// recorder box, group, cameras by state, alarm bell.
#pragma once

#include <QIcon>
#include <vector>

std::vector<QIcon> MakeDevTreeImages();
