// Pictures of the browser page for the documentation, at the stops of the desktop's
// scripts/screenshots.sh.
//   node web/page/screenshots.mjs SITE_DIR OUT_DIR [CARD.kel] [RACE] [HORSE]
// Defaults: samples/gulfstrm.kel, race 2, horse 3.
import { mkdirSync } from 'node:fs';
import path from 'node:path';

import { launch, serve } from './tests/site.mjs';

const root = path.resolve(import.meta.dirname, '../..');
const [siteDir, outDir, cardArg, raceArg, horseArg] = process.argv.slice(2);
const card = path.resolve(cardArg ?? path.join(root, 'samples/gulfstrm.kel'));
const race = Number(raceArg ?? 2);
const horse = Number(horseArg ?? 3);
mkdirSync(outDir, { recursive: true });

const site = await serve(path.resolve(siteDir));
const browser = await launch();
try {
  const page = await browser.newPage({ viewport: { width: 800, height: 520 } });
  // The folder the file input picks: the card's own, as the desktop's pictures show it.
  await page.addInitScript(() => { delete window.showDirectoryPicker; });
  await page.goto(site.url);
  await page.waitForSelector('#KEL_Soft[data-ready]');
  const shoot = async (name) => {
    await page.mouse.move(0, 0);
    await page.locator('#KEL_Soft').screenshot({ path: path.join(outDir, name) });
  };

  await page.keyboard.press('Control+o');
  await page.setInputFiles('#Dir1_Files', path.dirname(card));
  await page.waitForFunction(() => document.getElementById('File1').options.length > 0);
  await page.selectOption('#File1', path.basename(card));
  await shoot('open_file.png');

  await page.click('#BT_Open');
  await page.waitForFunction(() => !document.getElementById('fr_dc').hidden);
  await shoot('race_list.png');

  await page.locator(`#MSF_${race - 1}_0`).click();
  await page.keyboard.press('Enter');
  await shoot('horses.png');

  await page.locator(`#MSF_${horse}_1`).click();
  await page.keyboard.press('Enter');
  await shoot('past_performances.png');

  await page.keyboard.press('Escape');
  await page.click('#Recalculate');
  await shoot('settings.png');
} finally {
  await browser.close();
  site.server.close();
}
