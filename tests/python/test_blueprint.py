"""Blueprints: the file the library writes, attribute edits reaching it, bad input."""

import json
import pickle

import pytest

import plover
from conftest import EXAMPLES, SOURCE, example


@pytest.mark.parametrize("path", EXAMPLES, ids=lambda p: p.stem)
def test_round_trip_equals_the_tools_file(path, tool, tmp_path):
    tool("blueprint", path, "-o", tmp_path / "tool.json")
    expected = (tmp_path / "tool.json").read_text()

    blueprint = plover.Blueprint.load(path)
    blueprint.save(tmp_path / "python.json")
    assert (tmp_path / "python.json").read_text() == expected
    assert blueprint.to_json() == expected
    again = plover.Blueprint.from_json(blueprint.to_json())
    assert again.to_json() == expected
    assert pickle.loads(pickle.dumps(again)) == again


def test_attribute_edits_reach_their_file_keys():
    edits = json.loads((SOURCE / "tests" / "data" / "python" / "blueprint_edits.json").read_text())["edits"]
    for owner, attribute, value, section, key in edits:
        if isinstance(value, str):
            enum, member = value.split(".")
            value = getattr(getattr(plover, enum), member)
        blueprint = plover.Blueprint.load(example("lte-20mhz-2t2r-tdd"))
        target = getattr(blueprint, owner) if owner else blueprint
        setattr(target, attribute, value)
        assert getattr(target, attribute) == value, attribute
        saved = json.loads(blueprint.to_json())
        assert (saved[section] if section else saved)[key] == int(value), (owner, attribute)
    blueprint = plover.Blueprint()
    blueprint.rx1.channel_filter = range(1, 4)
    assert json.loads(blueprint.to_json())["rxChannel1"]["channelFilter"][:5] == [1, 2, 3, 0, 0]


def test_inspect_answers_as_the_tool_does(tool):
    for name in ("lte-20mhz-2t2r-tdd", "lte-10mhz-external-lo"):
        expected = json.loads(tool("inspect", example(name)).stdout)
        assert plover.Blueprint.load(example(name)).inspect() == expected


def test_features_are_copies_and_travel_with_the_blueprint():
    blueprint = plover.Blueprint.load(example("lte-20mhz-2t2r-tdd"))
    blueprint.enable_feature(plover.DynamicProfile(num_dynamic_profiles=3))
    blueprint.enable_feature(plover.FrequencyHopping(mode=3, min_frame_duration_us=20000))
    copied = pickle.loads(pickle.dumps(blueprint))
    assert sorted(f.id for f in copied.features) == ["DynamicProfile", "FH"]
    assert plover.develop(copied).to_json() == plover.develop(blueprint).to_json()
    blueprint.disable_feature("FH")
    assert [f.id for f in blueprint.features] == ["DynamicProfile"]
