// The empty root class of engine objects.
#pragma once

class aRoot {};
