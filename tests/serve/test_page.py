"""The page in a real headless browser, used the way a person uses it."""

import os
import pathlib
import shutil
import tempfile
import time

import pytest

from conftest import EXAMPLES, plover

webdriver = pytest.importorskip("selenium.webdriver")
from selenium.common.exceptions import StaleElementReferenceException  # noqa: E402
from selenium.webdriver.chrome.service import Service  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.support.ui import Select, WebDriverWait  # noqa: E402

CHROMIUM = shutil.which("chromium")
CHROMEDRIVER = shutil.which("chromedriver") or "/usr/bin/chromedriver"
if not CHROMIUM or not os.path.exists(CHROMEDRIVER):
    pytest.skip("chromium and chromedriver are needed", allow_module_level=True)

SHOTS = pathlib.Path(os.environ.get("PLOVER_SCREENSHOTS", tempfile.gettempdir())) / "serve-screenshots"


@pytest.fixture(scope="module")
def browser(tmp_path_factory):
    downloads = tmp_path_factory.mktemp("downloads")
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--no-first-run", "--window-size=1280,800",
                 f"--user-data-dir={tmp_path_factory.mktemp('profile')}"):
        options.add_argument(flag)
    options.add_experimental_option("prefs", {"download.default_directory": str(downloads),
                                              "download.prompt_for_download": False})
    driver = webdriver.Chrome(service=Service(executable_path=CHROMEDRIVER), options=options)
    driver.downloads = downloads
    SHOTS.mkdir(parents=True, exist_ok=True)
    yield driver
    driver.quit()


def wait(driver, condition, seconds=60):
    # The editor is rebuilt on every load, so a found control may go stale.
    return WebDriverWait(driver, seconds, ignored_exceptions=[StaleElementReferenceException]).until(condition)


def field(driver, id_):
    return driver.find_element(By.ID, id_)


def set_number(driver, id_, value):
    box = field(driver, id_)
    box.clear()
    box.send_keys(str(value))


def downloaded(driver, name, seconds=30):
    path = driver.downloads / name
    end = time.time() + seconds
    while time.time() < end:
        if path.exists() and not list(driver.downloads.glob("*.crdownload")):
            return path.read_text()
        time.sleep(0.2)
    raise AssertionError(f"{name} was not downloaded")


def open_page(browser, url, example=None):
    browser.get(url + "/")
    wait(browser, lambda d: d.find_elements(By.ID, "f-rxChannel1-samplingRate_Hz"))
    if example:
        Select(field(browser, "example")).select_by_value(example)
        wait(browser, lambda d: field(d, "f-rxChannel1-samplingRate_Hz").get_attribute("value") == "30720000")


def test_pick_edit_design_plot_and_download(server, browser, tmp_path):
    open_page(browser, server.url, "lte-20mhz-2t2r-tdd")
    badge = lambda d: field(d, "viability").text  # noqa: E731
    wait(browser, lambda d: badge(d) == "viable")

    # A failing configuration: the badge, then its report lines in the list and beside the field.
    set_number(browser, "f-rxChannel1-samplingRate_Hz", 7)
    wait(browser, lambda d: badge(d) == "not viable")
    field(browser, "design").click()
    wait(browser, lambda d: "the design failed" in field(d, "design-state").text)
    assert "Sampling rate not possible" in field(browser, "live-reports").text
    assert "Sampling rate not possible" in field(browser, "f-rxChannel1-samplingRate_Hz-note").text
    browser.save_screenshot(str(SHOTS / "failure.png"))
    set_number(browser, "f-rxChannel1-samplingRate_Hz", 30720000)
    wait(browser, lambda d: badge(d) == "viable")
    browser.save_screenshot(str(SHOTS / "editor.png"))

    field(browser, "design").click()
    wait(browser, lambda d: d.find_elements(By.CSS_SELECTOR, '.chain[data-channel="RX1"] .stage'))
    wait(browser, lambda d: len(d.find_elements(By.CSS_SELECTOR, ".plot canvas")) >= 4)
    # A rendered plot has drawn pixels, not just a canvas element.
    drawn = browser.execute_script(
        "const c = document.querySelector('.plot canvas');"
        "const px = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;"
        "let n = 0; for (let i = 3; i < px.length; i += 4) if (px[i]) n++; return n;")
    assert drawn > 1000
    assert "ripple" in browser.find_element(By.CSS_SELECTOR, ".plot .figures").text
    browser.execute_script("document.getElementById('design-result').scrollIntoView()")
    browser.save_screenshot(str(SHOTS / "design.png"))

    field(browser, "download-profile").click()
    profile = downloaded(browser, "lte-20mhz-2t2r-tdd.profile.json")
    assert plover("design", EXAMPLES / "lte-20mhz-2t2r-tdd.json", "-o", tmp_path / "p.json").returncode == 0
    assert profile == (tmp_path / "p.json").read_text()


def test_a_chain_found_is_used_designed_and_downloaded_as_the_tool_does(server, browser, tmp_path):
    open_page(browser, server.url)
    field(browser, "chain-search").find_element(By.TAG_NAME, "summary").click()
    rates = {"cs-rx-rate": 1000000, "cs-rx-bw": 500000, "cs-tx-rate": 2000000, "cs-tx-bw": 800000}
    for id_, value in rates.items():
        set_number(browser, id_, value)
    field(browser, "cs-run").click()
    use = wait(browser, lambda d: d.find_elements(By.ID, "cs-use"))[0]
    assert use.is_enabled()
    use.click()
    wait(browser, lambda d: field(d, "f-rxChannel1-samplingRate_Hz").get_attribute("value") == "1000000")
    assert field(browser, "f-txChannel1-samplingRate_Hz").get_attribute("value") == "2000000"

    field(browser, "design").click()
    wait(browser, lambda d: field(d, "design-state").text == "designed")
    browser.execute_script("document.getElementById('chain-search').scrollIntoView()")
    browser.save_screenshot(str(SHOTS / "chains.png"))
    field(browser, "download-profile").click()
    profile = downloaded(browser, "chains.profile.json")
    args = [f"--{k}" for k in ("rx-rate", "rx-bandwidth", "tx-rate", "tx-bandwidth")]
    cli = plover("chains", *[x for pair in zip(args, rates.values()) for x in pair],
                 "--blueprint-out", tmp_path / "b.json")
    assert cli.returncode == 0, cli.stderr
    assert plover("design", tmp_path / "b.json", "-o", tmp_path / "p.json").returncode == 0
    assert profile == (tmp_path / "p.json").read_text()
