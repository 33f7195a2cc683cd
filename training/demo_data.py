"""Texts and speech for the demo model: sentences built from the vocabulary
file, spoken by espeak-ng voices at 16 kHz, with gain, noise and filter
augmentation.

Held-out material (sentences never used in training, spoken by voice variants
never used in training) is drawn first, so training can leave it out.
"""

import random
import shlex
import subprocess
from concurrent.futures import ThreadPoolExecutor

import numpy as np
import torch
import torchaudio

from demo_model import SAMPLE_RATE

# espeak-ng's English voices (the "gmw" family; the mbrola ones are not installed);
# "en" is British English (the library does not know the name "en-gb").
LANGUAGES = ["en-us", "en", "en-gb-scotland", "en-gb-x-gbclan", "en-gb-x-rp",
             "en-gb-x-gbcwmd", "en-029", "en-us-nyc"]
# Voice variants (espeak-ng-data/voices/!v). "" is the language's own voice.
VARIANTS = ["", "Alex", "Alicia", "Andrea", "Andy", "Annie", "AnxiousAndy", "Denis", "Diogo",
            "Gene", "Gene2", "Henrique", "Hugo", "Jacky", "Lee", "Marco", "Mario", "Michael",
            "Mike", "Nguyen", "RicishayMax2", "Storm", "Tweaky", "UniRobot", "adam", "anika",
            "anikaRobot", "announcer", "aunty", "belinda", "benjamin", "boris", "croak",
            "david", "ed", "edward", "edward2", "f1", "f2", "f3", "f4", "grandma", "grandpa",
            "gustave", "iven", "iven2", "iven3", "iven4", "john", "kaukovalta", "klatt",
            "klatt2", "klatt3", "klatt4", "klatt5", "klatt6", "linda", "m1", "m2", "m3", "m4",
            "m5", "m7", "m8", "marcelo", "max", "michel", "miguel", "norbert", "pablo", "paul",
            "pedro", "quincy", "rob", "robert", "robosoft", "robosoft2", "robosoft3",
            "robosoft4", "robosoft5", "robosoft6", "robosoft7", "robosoft8", "sandro",
            "shelby", "steph", "steph2", "steph3", "travis", "victor", "zac"]
# Never heard in training; evaluation speaks with these only.
HELD_OUT_VARIANTS = ["f5", "m6", "antonio"]

SENTENCE_COUNT = 16000
COMMAND_REPEATS = 60  # training renderings of each command phrase on its own
NO_SPEECH_CLIPS = 800  # silence and noise alone, to be transcribed as nothing
HELD_OUT_SENTENCES = 250
HELD_OUT_SENTENCE_VOICES = 2  # each held-out sentence by two held-out voices
HELD_OUT_COMMAND_RENDERINGS = 10


# ---------------------------------------------------------------- sentences


class SentenceMaker:
    """Random sentences over the vocabulary file's word classes."""

    def __init__(self, sections, rng):
        self.s = sections
        self.rng = rng
        self.all_words = sorted({w for entries in sections.values() for e in entries
                                 for w in e.split()})
        self.kinds = [(self.statement, 24), (self.imperative, 14), (self.copula, 8),
                      (self.question, 7), (self.command_in_context, 10),
                      (self.numbers, 8), (self.word_string, 29)]

    def pick(self, section):
        return self.rng.choice(self.s[section])

    def maybe(self, probability, make):
        return make() if self.rng.random() < probability else ""

    def noun_phrase(self):
        if self.rng.random() < 0.15:
            return self.pick("digits") + " " + self.pick("nouns")
        adjective = self.maybe(0.4, lambda: self.pick("adjectives"))
        return " ".join(filter(None, [self.pick("determiners"), adjective, self.pick("nouns")]))

    def tail(self):
        place = self.maybe(0.35, lambda: self.pick("prepositions") + " " + self.noun_phrase())
        when = self.maybe(0.3, lambda: self.pick("adverbs"))
        return " ".join(filter(None, [place, when]))

    def statement(self):
        modal = self.maybe(0.3, lambda: self.rng.choice(
            ["can", "will", "should", "could", "must", "may", "did", "do", "would"]))
        words = [self.pick("pronouns"), modal, self.pick("verbs"), self.noun_phrase(), self.tail()]
        return " ".join(filter(None, words))

    def imperative(self):
        please = self.maybe(0.3, lambda: "please")
        words = [please, self.pick("verbs"), self.noun_phrase(), self.tail()]
        return " ".join(filter(None, words))

    def copula(self):
        verb = self.rng.choice(["is", "was", "is not", "was not"])
        very = self.maybe(0.3, lambda: self.rng.choice(["very", "really", "also"]))
        words = [self.noun_phrase(), verb, very, self.pick("adjectives"),
                 self.maybe(0.3, lambda: self.pick("adverbs"))]
        return " ".join(filter(None, words))

    def question(self):
        words = [self.rng.choice(["what", "where", "when", "why", "how", "who"]),
                 self.rng.choice(["do", "does", "did", "can", "will", "should"]),
                 self.pick("pronouns"), self.pick("verbs"),
                 self.maybe(0.6, self.noun_phrase)]
        return " ".join(filter(None, words))

    def command_in_context(self):
        command = self.pick("commands")
        form = self.rng.randrange(5)
        if form == 0:
            return "please " + command
        if form == 1:
            return command + " " + self.rng.choice(["now", "again", "please", "today", "later"])
        if form == 2:
            return command + " and " + self.pick("commands")
        if form == 3:
            return command + " " + self.pick("digits")
        return self.rng.choice(["hello", "yes", "no", "thanks", "now", "then"]) + " " + command

    def numbers(self):
        return " ".join(self.pick("digits") for _ in range(self.rng.randint(1, 7)))

    def word_string(self):
        return " ".join(self.rng.choice(self.all_words) for _ in range(self.rng.randint(2, 8)))

    def sentence(self):
        makers, weights = zip(*self.kinds)
        return self.rng.choices(makers, weights)[0]()


def unique_sentences(maker, count, exclude):
    found, seen = [], set(exclude)
    while len(found) < count:
        text = maker.sentence()
        if text not in seen:
            seen.add(text)
            found.append(text)
    return found


# -------------------------------------------------------------------- voices


def training_voice(rng):
    variant = rng.choice(VARIANTS)
    return rng.choice(LANGUAGES) + ("+" + variant if variant else "")


def held_out_voice(rng, variant):
    return rng.choice(LANGUAGES) + "+" + variant


def speaking_style(rng):
    """espeak-ng options: words a minute, pitch, gap between words (10 ms units)."""
    return {"speed": rng.randint(120, 230), "pitch": rng.randint(20, 80),
            "gap": rng.choice([0, 0, 0, 1, 2, 4])}


def synthesize(text, voice, style):
    """The utterance as float samples at 16 kHz (sox resamples espeak's 22 kHz)."""
    command = (f"espeak-ng -v {shlex.quote(voice)} -s {style['speed']} -p {style['pitch']} "
               f"-g {style['gap']} --stdout {shlex.quote(text)} | "
               "sox -t wav - -t raw -r 16000 -e signed -b 16 -c 1 -")
    raw = subprocess.run(command, shell=True, check=True, capture_output=True).stdout
    return np.frombuffer(raw, dtype="<i2").astype(np.float32) / 32768.0


def render_all(requests, seed, finish, workers=2):
    """Synthesizes and augments every (text, voice, style) request and returns
    finish(samples) for each, in order. Each utterance's augmentation has a
    seed of its own, so the result does not depend on the thread schedule."""

    def render(indexed):
        index, (text, voice, style) = indexed
        rng = random.Random(seed * 1000003 + index)
        return finish(augment(synthesize(text, voice, style), rng)[0])

    with ThreadPoolExecutor(max_workers=workers) as pool:
        return list(pool.map(render, enumerate(requests)))


# -------------------------------------------------------------- augmentation


def augment(samples, rng):
    """Random gain, optional band limits, silence at the ends, and light noise
    on every sample (espeak output has runs of exact zeros a microphone never
    delivers). Returns the samples and the length of the silence put in front."""
    x = torch.from_numpy(samples.copy())
    if rng.random() < 0.3:
        x = torchaudio.functional.lowpass_biquad(x, SAMPLE_RATE, rng.uniform(3000, 7000))
    if rng.random() < 0.3:
        x = torchaudio.functional.highpass_biquad(x, SAMPLE_RATE, rng.uniform(80, 300))
    peak = float(x.abs().max()) or 1.0
    x = x * (rng.uniform(0.05, 0.95) / peak)
    lead = torch.zeros(int(rng.uniform(0, 0.2) * SAMPLE_RATE))
    trail = torch.zeros(int(rng.uniform(0, 0.2) * SAMPLE_RATE))
    x = torch.cat([lead, x, trail])
    # Light noise: 15 to 50 dB below the utterance's level; a clip without
    # speech gets a level of its own, relative to full scale.
    level = float(x.pow(2).mean().sqrt())
    if level > 0:
        noise_level = level * 10 ** (-rng.uniform(15, 50) / 20)
    else:
        noise_level = 10 ** (rng.uniform(-75, -38) / 20)
    generator = torch.Generator().manual_seed(rng.randrange(2**31))
    noise = torch.randn(x.shape[0], generator=generator) * noise_level
    if rng.random() < 0.4:  # a darker hum-like noise now and then
        noise = torchaudio.functional.lowpass_biquad(noise, SAMPLE_RATE, rng.uniform(200, 1500)) * 3
    return torch.clamp(x + noise, -1.0, 1.0), lead.shape[0]


# ----------------------------------------------------------------- data sets


def held_out_requests(sections, rng):
    """Evaluation utterances: (kind, text, voice, style) with kind "sentence"
    or "command"."""
    requests = []
    maker = SentenceMaker(sections, rng)
    commands = set(sections["commands"])
    sentences = unique_sentences(maker, HELD_OUT_SENTENCES, commands)
    for index, text in enumerate(sentences):
        for k in range(HELD_OUT_SENTENCE_VOICES):
            variant = HELD_OUT_VARIANTS[(index + k) % len(HELD_OUT_VARIANTS)]
            requests.append(("sentence", text, held_out_voice(rng, variant), speaking_style(rng)))
    for command in sections["commands"]:
        for k in range(HELD_OUT_COMMAND_RENDERINGS):
            variant = HELD_OUT_VARIANTS[k % len(HELD_OUT_VARIANTS)]
            requests.append(("command", command, held_out_voice(rng, variant), speaking_style(rng)))
    return requests, sentences


def training_requests(sections, rng, held_out_sentences):
    """(text, voice, style) for every training utterance."""
    maker = SentenceMaker(sections, rng)
    exclude = set(held_out_sentences) | set(sections["commands"])
    texts = unique_sentences(maker, SENTENCE_COUNT, exclude)
    texts += [c for c in sections["commands"] for _ in range(COMMAND_REPEATS)]
    texts += [""] * NO_SPEECH_CLIPS
    rng.shuffle(texts)
    return [(text, training_voice(rng), speaking_style(rng)) for text in texts]
