#!/usr/bin/python3
"""An outside reference for the implicit-surface benchmarks: numpy samples
F on the (N + 1)^3 lattice over [-2, 2]^3 and skimage's marching_cubes
polygonises it, for the sphere, the torus and the gyroid of
bench/ImplicitCases.h at N = 40, 80 and 160. Prints the seconds of each step
(best of three), the triangles and the area. Needs python3-skimage (Debian's
python3, not a virtual environment's)."""
import time

import numpy as np
from skimage.measure import marching_cubes, mesh_surface_area

CASES = {
    "sphere": lambda x, y, z: x * x + y * y + z * z - 1,
    "torus": lambda x, y, z: (np.sqrt(x * x + y * y) - 1) ** 2 + z * z - 0.16,
    "gyroid": lambda x, y, z: np.sin(x) * np.cos(y) + np.sin(y) * np.cos(z) + np.sin(z) * np.cos(x),
}


def best_of_three(step):
    best, result = float("inf"), None
    for _ in range(3):
        start = time.perf_counter()
        result = step()
        best = min(best, time.perf_counter() - start)
    return best, result


for name, f in CASES.items():
    for n in (40, 80, 160):
        axis = np.linspace(-2, 2, n + 1)
        spacing = (4 / n,) * 3
        sample_s, values = best_of_three(lambda: f(*np.meshgrid(axis, axis, axis, indexing="ij")))
        mc_s, (verts, faces, _, _) = best_of_three(lambda: marching_cubes(values, 0.0, spacing=spacing))
        print(f"{name:7s} N={n:3d}  sample {sample_s * 1e3:8.1f} ms  marching_cubes {mc_s * 1e3:8.1f} ms  "
              f"triangles {len(faces):8d}  area {mesh_surface_area(verts, faces):.4f}")
