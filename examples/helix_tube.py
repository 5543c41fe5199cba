"""A helix, its rotation-minimising frame, a tube swept along it by that frame, fitted by a
bicubic surface and written to IGES; drawn with matplotlib where it is installed.

usage: python3 examples/helix_tube.py [OUTPUT_FOLDER]
"""
import math
import os
import sys

import numpy as np

import law

out = sys.argv[1] if len(sys.argv) > 1 else "."
turns = 4 * math.pi
helix = law.vec(law.cos(law.X), law.sin(law.X), law.X / 4)

# Points, unit tangents and the normals that turn least about the tangent.
frames = law.frame(helix, 0, turns, 9)
print("normal at the end:", np.round(frames.normals[-1], 6))

# The frame as laws: MINROT carries the first normal along the helix with least rotation, and
# the binormal completes it with the unit tangent.
normal = law.minrot(helix, law.vec(*frames.normals[0]), 0, turns)
binormal = law.cross(law.norm(helix.derivative()), normal)

# A circle of radius 0.3 carried by the frame: a law of (X, Y), the helix parameter and the angle.
tube = helix + 0.3 * (law.cos(law.Y) * normal + law.sin(law.Y) * binormal)
surface = law.fit_surface(tube, 0, turns, 0, 2 * math.pi, tol=1e-3)
print("control net:", surface.shape, "accuracy:", f"{surface.accuracy:.2g}")
surface.write_iges(os.path.join(out, "helix_tube.igs"))

# Every point of the fitted tube lies 0.3 from the helix, within the tolerance.
s, t = np.meshgrid(np.linspace(0, turns, 200), np.linspace(0, 2 * math.pi, 40))
radius = np.linalg.norm(surface(s, t) - helix(s), axis=-1)
print("distance from the helix:", f"{radius.min():.4f} to {radius.max():.4f}")

try:
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
except ImportError:
    print("matplotlib is not installed: no picture")
else:
    points = surface(s, t)
    axes = plt.figure(figsize=(6, 6)).add_subplot(projection="3d")
    axes.plot_surface(*np.moveaxis(points, -1, 0), color="lightsteelblue", linewidth=0)
    axes.quiver(*frames.points.T, *(0.8 * frames.normals).T, color="crimson")
    axes.set_box_aspect((1, 1, 1.2))
    plt.savefig(os.path.join(out, "helix_tube.png"), dpi=80)
    print("picture written to", os.path.join(out, "helix_tube.png"))
