"""What the bench scripts share: the designs they measure (the sample designs
and the largest cycle there is, a star of three sides at the slowest turn,
420 x 420), our reader's view of a GIF and a headless Chromium to drive."""
import json
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BIN = os.path.join(ROOT, os.environ.get("BUILD", "build"), "bin")
CHROMIUM = "/usr/lib/chromium/chromium"

LARGEST = """[Largest]
Slider0=0
Slider1=1
Slider2=0.525
Slider3=0.2
Slider4=0.05
Slider5=1
Slider6=1
Slider7=0.4
Slider8=0.7
Slider9=0.65
InnerR=1
InnerG=0.9
InnerB=0.3
OuterR=0.8
OuterG=0.2
OuterB=0.1
BackR=0.1
BackG=0.2
BackB=0.5
TextR=1
TextG=1
TextB=1
ShapeShadowR=0
ShapeShadowG=0
ShapeShadowB=0.2
TextShadowR=0
TextShadowG=0
TextShadowB=0
DitherR=0.6
DitherG=0.1
DitherB=0.4
Star=True
ShowText=True
ViewShapeShadow=True
ViewTextShadow=True
ViewLine=False
ViewLineShadow=False
TextFront=True
PosX=0.5
PosY=0.45
TextX=0.3
TextY=0.8
Text=Largest cycle
FontName=Arial
FontSize=20
FontBold=True
FontItalic=False
FontUnderline=False
FontStrikethru=False
"""


def design_file(folder, transparent=False):
    """Writes the sample designs and the largest cycle into FOLDER/peers.ini;
    `transparent` turns on every design's transparent background."""
    with open(os.path.join(ROOT, "designs", "flinder.ini")) as f:
        text = f.read()
    text = text.replace("[Shapes]\n", "[Shapes]\nLargest=1\n", 1).rstrip("\n") + "\n\n" + LARGEST
    if transparent:
        text = text.replace("Transparent=False\n", "").replace("\nTextFront=", "\nTransparent=True\nTextFront=")
    path = os.path.join(folder, "transparent.ini" if transparent else "peers.ini")
    with open(path, "w") as f:
        f.write(text)
    return path


def composed(gif, work):
    """The pictures a browser should show, as our giflib reader composes them:
    (frames, (width, height), RGBA bytes, a transparent pixel 0 0 0 0)."""
    raw = os.path.join(work, "composed.rgba")
    words = subprocess.run([os.path.join(BIN, "gif-quality"), "--rgba", raw, gif], check=True,
                           capture_output=True, text=True).stdout.split()
    width, height = map(int, words[3].split("x"))
    with open(raw, "rb") as f:
        return int(words[1]), (width, height), f.read()


def pictures(raw, size):
    """RGBA bytes as Pillow pictures, every transparent pixel made 0 0 0 0."""
    from PIL import Image  # only the scripts that compare pictures need Pillow
    step = size[0] * size[1] * 4
    clear = Image.new("RGBA", size)
    shown = []
    for at in range(0, len(raw) - step + 1, step):
        picture = Image.frombytes("RGBA", size, raw[at:at + step])
        opaque = picture.getchannel("A").point(lambda a: 255 if a else 0)
        shown.append(Image.composite(picture, clear, opaque))
    return shown


def drawn(designs, name, form, work, scale=1):
    """The frames a WebP or APNG export of design NAME drew, as it should show
    them: (frames, (width, height), RGBA bytes, a clear pixel 0 0 0 0)."""
    raw = os.path.join(work, "drawn.rgba")
    words = subprocess.run([os.path.join(BIN, "drawn-frames"), designs, name, form, str(scale),
                            raw], check=True, capture_output=True, text=True).stdout.split()
    width, height = map(int, words[3].split("x"))
    with open(raw, "rb") as f:
        return int(words[1]), (width, height), f.read()


def pillow_frames(path):
    """Every picture of an animated WebP or PNG as Pillow composes it, as RGBA
    bytes with every clear pixel 0 0 0 0; and the loop count it reads."""
    from PIL import Image
    shown = []
    with Image.open(path) as image:
        loops = image.info.get("loop")
        for frame in range(getattr(image, "n_frames", 1)):
            image.seek(frame)
            rgba = bytearray(image.convert("RGBA").tobytes())
            for at in range(3, len(rgba), 4):
                if rgba[at] == 0:
                    rgba[at - 3:at] = b"\0\0\0"
            shown.append(bytes(rgba))
    return shown, loops


def split(raw, size):
    step = size[0] * size[1] * 4
    return [raw[at:at + step] for at in range(0, len(raw), step)]


def exactness(expected, shown):
    """"exact", or how the pictures shown differ from the frames drawn."""
    if len(shown) != len(expected):
        return f"{len(shown)} pictures, not {len(expected)}"
    wrong = [i for i, (a, b) in enumerate(zip(expected, shown)) if a != b]
    return "exact" if not wrong else f"pictures {wrong[:4]} differ"


def install_chromium(script):
    if os.path.exists(CHROMIUM):
        return
    if os.geteuid() != 0:
        sys.exit(script + " needs: sudo apt-get install -y chromium")
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    subprocess.run(["apt-get", "install", "-y", "-qq", "chromium"], check=True, env=env,
                   stdout=subprocess.DEVNULL)


class Chromium:
    """A headless Chromium driven over --remote-debugging-pipe: messages are
    JSON, each ended by a zero byte, on its file descriptors 3 and 4."""

    def __init__(self, flags=()):
        to_read, self.to_write = os.pipe()
        self.from_read, from_write = os.pipe()

        def wire():
            # Copies first: dup2 onto the same number would keep close-on-exec.
            commands, replies = os.dup(to_read), os.dup(from_write)
            os.dup2(commands, 3)
            os.dup2(replies, 4)

        self.process = subprocess.Popen(
            [CHROMIUM, "--headless=new", "--no-sandbox", "--disable-gpu",
             "--remote-debugging-pipe", *flags, "about:blank"],
            close_fds=False, preexec_fn=wire, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(to_read)
        os.close(from_write)
        self.pending = b""
        self.last_id = 0
        targets = self.call("Target.getTargets")["targetInfos"]
        page = next(t["targetId"] for t in targets if t["type"] == "page")
        self.session = self.call("Target.attachToTarget",
                                 {"targetId": page, "flatten": True})["sessionId"]

    def call(self, method, params=None, session=None):
        self.last_id += 1
        message = {"id": self.last_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.to_write, json.dumps(message).encode() + b"\0")
        while True:
            while b"\0" not in self.pending:
                chunk = os.read(self.from_read, 1 << 20)
                if not chunk:
                    raise RuntimeError("Chromium closed its pipe")
                self.pending += chunk
            raw, self.pending = self.pending.split(b"\0", 1)
            reply = json.loads(raw)
            if reply.get("id") == self.last_id:
                if "error" in reply:
                    raise RuntimeError(f"{method}: {reply['error']}")
                return reply["result"]

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", {"expression": expression, "awaitPromise": True,
                                                "returnByValue": True}, self.session)
        return result["result"].get("value")

    def close(self):
        self.call("Browser.close")
        self.process.wait()
