// Prints the zh_CN given names of @faker-js/faker as JSON:
// {"generic": [...], "female": [...], "male": [...]}.
import { zh_CN } from '@faker-js/faker';

process.stdout.write(JSON.stringify(zh_CN.person.first_name));
