"""Screen pixels as raw RGB, read through ImageMagick's PPM output; no imaging library needed."""

import subprocess


class Shot:
    def __init__(self, width, height, data, origin=(0, 0)):
        self.width, self.height, self.data, self.origin = width, height, data, origin

    def pixel(self, x, y):
        """RGB at screen position (x, y)."""
        i = 3 * ((y - self.origin[1]) * self.width + (x - self.origin[0]))
        return self.data[i:i + 3]

    def blank(self, rect):
        """Sets the screen rectangle rect to black, so comparisons leave it out."""
        x0, y0, w, h = rect
        data = bytearray(self.data)
        for y in range(max(y0, self.origin[1]), min(y0 + h, self.origin[1] + self.height)):
            for x in range(max(x0, self.origin[0]), min(x0 + w, self.origin[0] + self.width)):
                i = 3 * ((y - self.origin[1]) * self.width + (x - self.origin[0]))
                data[i:i + 3] = b"\0\0\0"
        self.data = bytes(data)


def grab(env, x, y, w, h):
    """The screen rectangle (x, y, w, h) of the X display in env."""
    out = subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-depth", "8",
                          "ppm:-"], env=env, capture_output=True, check=True, timeout=60).stdout
    # P6 header: magic, width, height, maxval, each followed by whitespace.
    fields, pos = [], 0
    while len(fields) < 4:
        while out[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not out[end:end + 1].isspace():
            end += 1
        fields.append(out[pos:end])
        pos = end
    pos += 1
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError(f"unexpected PPM header {fields}")
    width, height = int(fields[1]), int(fields[2])
    return Shot(width, height, out[pos:pos + 3 * width * height], (x, y))


def changes(before, after):
    """{(x, y): (old, new)} for every pixel that differs, in screen coordinates."""
    diff = {}
    b, a, w = before.data, after.data, before.width
    for i in range(0, len(b), 3):
        if b[i:i + 3] != a[i:i + 3]:
            p = i // 3
            diff[(p % w + before.origin[0], p // w + before.origin[1])] = (b[i:i + 3], a[i:i + 3])
    return diff


def is_inversion(old, new):
    return all(o ^ 0xFF == n for o, n in zip(old, new))
