#include "exam/texts.h"

#include <array>
#include <cstdlib>

namespace tecladim::exam {
namespace {

// Written for this program in the register of exam texts; no passage is taken from an
// exam or a book. Paragraphs end in a line break; only characters an ABNT2 keyboard types.
constexpr std::array<ExamText, 20> AllTexts{{
    {"acesso-informacao", "O direito de saber",
     "Todo cidadão tem o direito de receber dos órgãos públicos informações do seu interesse particular ou de "
     "interesse coletivo. Esse direito vale para a União, os estados, o Distrito Federal e os municípios, e alcança "
     "também as autarquias, as fundações e as empresas controladas pelo poder público. O pedido pode ser feito pela "
     "internet ou no balcão de atendimento, e não é preciso explicar o motivo da consulta. O órgão tem prazo para "
     "responder e, quando não puder entregar o que foi pedido, deve dizer por escrito a razão da recusa e indicar a "
     "quem o cidadão pode recorrer.\n"
     "A regra é a publicidade; o sigilo é a exceção. Dados pessoais, como endereço, saúde ou renda de alguém, "
     "continuam protegidos, e certas informações podem ser classificadas por um tempo limitado quando a sua divulgação "
     "puser em risco a segurança da sociedade ou do Estado. Fora desses casos, o que é público deve estar ao alcance "
     "de todos, de preferência em linguagem simples e em formato aberto, que possa ser lido por qualquer programa de "
     "computador. Quanto mais gente acompanha as contas e as decisões do governo, mais difícil fica esconder erros e "
     "desvios."},
    {"servidor-atendimento", "O servidor e o atendimento ao público",
     "Quem trabalha no serviço público atende pessoas de todas as idades, origens e condições. Por isso, o bom "
     "atendimento começa pela escuta: o servidor deixa o cidadão explicar o que precisa, faz perguntas para entender o "
     "caso e só então indica o caminho. Frases curtas, sem siglas nem termos técnicos, evitam mal-entendidos e "
     "retornos desnecessários. Quando o assunto não é da sua área, o servidor não se limita a dizer que não pode "
     "ajudar; informa qual setor resolve a questão, onde ele fica e que documentos devem ser levados.\n"
     "A prioridade no atendimento é garantida por lei a idosos, gestantes, pessoas com deficiência, pessoas com "
     "crianças de colo e outros grupos. Ela deve ser respeitada sem constrangimento e sem que o beneficiado precise "
     "insistir. Também faz parte do dever do servidor guardar sigilo sobre o que soube em razão do cargo, tratar todos "
     "com igualdade e registrar cada pedido, para que nada se perca na troca de turnos ou de equipes. Um atendimento "
     "cortês e eficiente não é favor: é a forma como o Estado presta contas a quem o sustenta com os seus impostos."},
    {"consumidor", "O consumidor e a compra a distância",
     "Quem compra um produto pela internet, por telefone ou por catálogo, fora do estabelecimento comercial, pode "
     "desistir da compra no prazo de sete dias, contados da assinatura do contrato ou do recebimento do produto. Esse "
     "direito de arrependimento existe porque o consumidor não pôde ver nem tocar o que comprou antes de pagar. Ao "
     "desistir, ele deve receber de volta todos os valores pagos, inclusive o frete, com a correção devida, e não "
     "precisa justificar a sua decisão.\n"
     "O fornecedor, por sua vez, deve informar com clareza o preço total, as formas de pagamento, o prazo de entrega e "
     "os meios de contato. Anúncios que omitem dados importantes ou que prometem o que não será entregue podem ser "
     "considerados publicidade enganosa. Em caso de problema, o primeiro passo é procurar a empresa e guardar o número "
     "do protocolo. Se não houver solução, o consumidor pode recorrer ao Procon da sua cidade, às plataformas públicas "
     "de reclamação ou ao Juizado Especial Cível, onde causas de menor valor podem ser apresentadas sem advogado."},
    {"juizado-especial", "O Juizado Especial Cível",
     "O Juizado Especial Cível foi criado para resolver de forma simples e rápida as causas de menor complexidade. "
     "Nele, o processo segue os princípios da oralidade, da simplicidade, da informalidade e da economia processual, e "
     "busca, sempre que possível, a conciliação entre as partes. Nas causas de valor até vinte salários mínimos, a "
     "pessoa pode apresentar o seu pedido sem a assistência de advogado; acima desse valor, e até o limite fixado em "
     "lei, o advogado passa a ser obrigatório.\n"
     "O caminho começa com uma petição, que pode ser escrita ou até mesmo oral, reduzida a termo por um servidor do "
     "juizado. Em seguida, as partes são chamadas para uma audiência de conciliação, conduzida por um conciliador. Se "
     "houver acordo, ele é homologado pelo juiz e passa a valer como sentença. Se não houver, o processo segue para a "
     "audiência de instrução e julgamento, em que são ouvidas as partes e as testemunhas e apresentadas as provas. Em "
     "primeiro grau não se pagam custas, o que torna o juizado uma porta de entrada importante para quem busca os seus "
     "direitos."},
    {"vacinacao", "Vacinas e saúde coletiva",
     "As vacinas estão entre as medidas de saúde pública mais eficientes já criadas. Elas ensinam o sistema de defesa "
     "do corpo a reconhecer um vírus ou uma bactéria antes do contato com a doença, de modo que, quando a infecção "
     "acontece, a resposta é rápida e os sintomas são leves ou nem aparecem. Graças à vacinação em massa, doenças que "
     "matavam ou deixavam sequelas em milhares de crianças, como a poliomielite, praticamente desapareceram do país.\n"
     "O efeito das vacinas, porém, não é apenas individual. Quando a maior parte de uma população está protegida, o "
     "agente causador encontra poucas pessoas em que possa se multiplicar, e a transmissão diminui. Assim ficam "
     "protegidos também os que não podem ser vacinados, como bebês muito novos e pessoas com certas doenças. Por isso, "
     "a queda da cobertura vacinal preocupa os especialistas: doenças controladas podem voltar. Manter a caderneta em "
     "dia, inclusive na vida adulta, é um cuidado com a própria saúde e uma atitude de responsabilidade com a "
     "comunidade."},
    {"agua-saneamento", "Água, esgoto e qualidade de vida",
     "O saneamento básico reúne o abastecimento de água potável, a coleta e o tratamento do esgoto, a limpeza urbana, "
     "o manejo do lixo e a drenagem da água da chuva. Esses serviços parecem invisíveis quando funcionam, mas a sua "
     "falta aparece logo nos números da saúde: diarreias, verminoses e outras doenças de transmissão hídrica atingem "
     "principalmente as crianças das áreas sem rede de esgoto. Estudos mostram que cada real investido em saneamento "
     "reduz os gastos com atendimento médico e melhora o desempenho escolar.\n"
     "No Brasil, uma parte importante da população ainda vive sem coleta de esgoto, e uma parcela menor do esgoto "
     "coletado recebe tratamento antes de voltar aos rios. A meta nacional é levar água potável a quase todos os "
     "brasileiros e ampliar muito a coleta e o tratamento nos próximos anos. Para isso, são necessários investimentos "
     "de longo prazo, planejamento entre municípios vizinhos e fiscalização das empresas responsáveis. O cidadão "
     "também participa: economizar água, não jogar lixo nas ruas e acompanhar as audiências públicas sobre o tema são "
     "formas de cobrar resultados."},
    {"orcamento-publico", "O orçamento público",
     "O orçamento público é o instrumento pelo qual o governo estima quanto vai arrecadar e decide como vai gastar os "
     "recursos em um ano. Ele não é elaborado de uma só vez. O plano plurianual define as metas e os programas para "
     "quatro anos; a lei de diretrizes orçamentárias estabelece as prioridades do ano seguinte e as regras para a "
     "elaboração do orçamento; e a lei orçamentária anual detalha as receitas e as despesas de cada órgão. Todas essas "
     "leis são propostas pelo Poder Executivo e votadas pelo Poder Legislativo.\n"
     "Acompanhar o orçamento é uma forma concreta de exercer a cidadania. É ali que se vê quanto será destinado à "
     "saúde, à educação, à segurança e às obras de cada bairro. Os portais de transparência mostram, em tempo quase "
     "real, os valores empenhados, liquidados e pagos, e permitem conferir quem recebeu cada pagamento. Muitos "
     "municípios também promovem audiências públicas e consultas sobre as prioridades de investimento. Quando a "
     "população participa e fiscaliza, os gastos tendem a ser mais bem planejados e os desvios, mais fáceis de "
     "descobrir."},
    {"eleicoes", "O voto e a Justiça Eleitoral",
     "No Brasil, o voto é direto, secreto, universal e periódico. Ele é obrigatório para os maiores de dezoito anos e "
     "facultativo para os analfabetos, para os maiores de setenta anos e para os jovens de dezesseis e dezessete anos. "
     "Quem deixa de votar e não justifica a ausência paga uma pequena multa e pode enfrentar restrições, como a "
     "dificuldade para tirar passaporte ou tomar posse em cargo público. O título de eleitor pode ser obtido ou "
     "regularizado nos cartórios eleitorais e, em muitos casos, pela internet.\n"
     "Cabe à Justiça Eleitoral organizar as eleições: ela mantém o cadastro dos eleitores, registra as candidaturas, "
     "fiscaliza a propaganda, apura os votos e diplomas os eleitos. A urna eletrônica, usada em todo o país, permite "
     "que o resultado seja conhecido poucas horas depois do fim da votação. Os programas da urna podem ser examinados "
     "por partidos, entidades e especialistas antes do pleito, e cada urna imprime, ao final do dia, um boletim com os "
     "votos que recebeu, afixado na porta da seção para consulta de qualquer pessoa."},
    {"energia-solar", "A energia que vem do sol",
     "A energia solar fotovoltaica transforma a luz do sol diretamente em eletricidade. As placas são formadas por "
     "células de silício que, ao receber a luz, liberam elétrons e geram uma corrente elétrica. Um equipamento chamado "
     "inversor converte essa corrente para o padrão usado nas tomadas das casas. Como o Brasil recebe sol forte "
     "durante boa parte do ano em quase todo o território, o potencial dessa fonte é enorme, e a instalação de placas "
     "em telhados de residências, comércios e prédios públicos cresceu muito na última década.\n"
     "Além de não emitir gases durante a operação, os sistemas solares podem reduzir a conta de luz. Quando a produção "
     "supera o consumo, o excedente é enviado à rede da distribuidora e vira crédito para os meses seguintes. A fonte "
     "tem limites: não produz à noite e rende menos em dias nublados, o que exige combinar o sol com outras fontes, "
     "como a hidrelétrica e a eólica, e investir em formas de armazenar energia. Ao fim da vida útil, as placas "
     "precisam ser recicladas, para que o vidro, o alumínio e os metais voltem à indústria."},
    {"estatuto-crianca", "A proteção da criança e do adolescente",
     "A lei brasileira considera criança a pessoa com até doze anos incompletos e adolescente aquela entre doze e "
     "dezoito anos. Ambas são reconhecidas como sujeitos de direitos, e não como simples objetos de cuidado dos "
     "adultos. É dever da família, da comunidade, da sociedade e do poder público assegurar, com absoluta prioridade, "
     "o direito à vida, à saúde, à alimentação, à educação, ao esporte, ao lazer, à cultura, à dignidade e à "
     "convivência familiar e comunitária.\n"
     "Em cada município deve existir ao menos um Conselho Tutelar, órgão formado por membros escolhidos pela "
     "comunidade local. Ele recebe denúncias de violação de direitos, como abandono, maus-tratos ou evasão escolar, "
     "aplica medidas de proteção e aciona outros serviços quando necessário. Qualquer pessoa pode procurar o conselho, "
     "e a denúncia pode ser feita sem que o denunciante se identifique. O trabalho é proibido aos menores de dezesseis "
     "anos, salvo na condição de aprendiz, a partir dos quatorze, com jornada compatível com a frequência à escola."},
    {"dados-pessoais", "A proteção dos dados pessoais",
     "Nome, número de documento, endereço, telefone, fotografia e até o histórico de compras de uma pessoa são dados "
     "pessoais. Empresas e órgãos públicos que os recolhem precisam ter uma finalidade clara e legítima para isso, "
     "informar ao titular como as informações serão usadas e guardá-las com segurança. Dados sobre saúde, religião, "
     "origem racial, opinião política ou vida sexual são considerados sensíveis e recebem proteção ainda maior, porque "
     "o seu uso indevido pode levar a discriminação.\n"
     "O titular tem o direito de saber quais dados seus estão em poder de uma organização, de corrigir os que "
     "estiverem errados e de pedir a eliminação dos que forem desnecessários. Ele também pode revogar o consentimento "
     "que deu. Quando ocorre um vazamento, a organização deve comunicar o fato à autoridade nacional e às pessoas "
     "afetadas. No dia a dia, alguns cuidados simples ajudam: desconfiar de mensagens que pedem senhas ou códigos, "
     "evitar publicar documentos nas redes sociais e ler, antes de aceitar, o que um aplicativo pede para acessar no "
     "telefone."},
    {"mudancas-climaticas", "O clima que muda",
     "O clima da Terra sempre variou ao longo de milhares de anos, mas o aquecimento observado desde o fim do século "
     "dezenove é rápido demais para ser explicado apenas por causas naturais. A queima de carvão, petróleo e gás, o "
     "desmatamento e certas atividades agrícolas lançam na atmosfera gases que retêm parte do calor que o planeta "
     "deveria devolver ao espaço. Com mais calor retido, a temperatura média sobe, o gelo das montanhas e dos polos "
     "derrete e o nível do mar se eleva.\n"
     "As consequências já são percebidas: ondas de calor mais intensas, chuvas concentradas em poucos dias, secas mais "
     "longas e mudanças na época das safras. Para o Brasil, a preservação das florestas tem papel central, porque o "
     "desmatamento é uma das principais fontes de emissão do país e porque a floresta em pé ajuda a regular as chuvas "
     "em outras regiões. Reduzir as emissões exige mudanças na produção de energia, nos transportes e no uso da terra; "
     "adaptar as cidades a eventos extremos exige planejamento, obras de drenagem e sistemas de alerta que cheguem a "
     "tempo a quem mora em áreas de risco."},
    {"mediacao", "Conversar antes de processar",
     "Nem todo conflito precisa terminar em um processo judicial. A mediação e a conciliação são meios de solução em "
     "que uma terceira pessoa, imparcial, ajuda as partes a conversar e a encontrar por conta própria um acordo que "
     "atenda a ambas. Na conciliação, mais usada em conflitos sem vínculo anterior, como uma batida de carro, o "
     "conciliador pode sugerir soluções. Na mediação, indicada quando as partes convivem, como vizinhos ou familiares, "
     "o mediador ajuda a restabelecer o diálogo, sem propor ele mesmo a saída.\n"
     "Essas sessões são confidenciais, e o que for dito nelas não pode ser usado depois como prova. O acordo alcançado "
     "pode ser homologado pelo juiz e passa a ter a mesma força de uma sentença. Os tribunais mantêm centros "
     "judiciários de solução de conflitos, que atendem também casos ainda não levados à Justiça. Para o cidadão, as "
     "vantagens são a rapidez, o custo menor e a chance de preservar relações. Para o Judiciário, cada acordo é um "
     "processo a menos na fila, o que ajuda a dar andamento aos casos que realmente dependem de uma decisão."},
    {"defesa-civil", "A Defesa Civil e a prevenção de desastres",
     "Enchentes, deslizamentos de terra, secas prolongadas e vendavais fazem parte da realidade de muitas cidades "
     "brasileiras. Para enfrentar esses eventos, existe o Sistema Nacional de Proteção e Defesa Civil, que reúne a "
     "União, os estados, o Distrito Federal e os municípios. Em cada cidade, a coordenadoria municipal é a primeira a "
     "agir: ela mapeia as áreas de risco, cadastra as famílias que moram nesses locais, prepara abrigos e organiza a "
     "resposta quando a emergência acontece. O número 199 atende chamadas de todo o país, de graça, a qualquer hora do "
     "dia ou da noite.\n"
     "O trabalho mais importante, porém, é feito antes do desastre. Obras de contenção de encostas, limpeza de "
     "córregos e bueiros, controle da ocupação de morros e margens de rios e educação da população reduzem o número de "
     "vítimas e os prejuízos. A Defesa Civil envia alertas gratuitos por mensagem de celular: basta cadastrar o CEP da "
     "residência ou do trabalho para receber avisos de chuva forte, ventania ou risco de deslizamento. Em algumas "
     "comunidades, sirenes avisam do perigo e placas indicam o caminho seguro até o ponto de apoio mais próximo.\n"
     "Cada morador também pode colaborar. Rachaduras novas nas paredes, portas e janelas que emperram, árvores ou "
     "postes inclinados e água brotando do chão são sinais de que o terreno pode estar se movendo; nesses casos, a "
     "orientação é sair do imóvel e chamar a Defesa Civil. Durante as chuvas, não se deve atravessar ruas alagadas, a "
     "pé ou de carro, nem se abrigar debaixo de árvores. Ter à mão documentos, remédios de uso contínuo, lanterna, "
     "rádio a pilha e água potável (uma pequena mochila basta) facilita uma saída rápida. Prevenir custa muito menos "
     "do que reconstruir, e nenhuma obra substitui uma comunidade bem informada."},
    {"atencao-basica", "A porta de entrada do SUS",
     "O Sistema Único de Saúde, criado pela Constituição de 1988, garante a todas as pessoas que estão no Brasil o "
     "acesso gratuito a ações e serviços de saúde, da vacina ao transplante. A porta de entrada preferencial desse "
     "sistema é a atenção básica, também chamada de atenção primária, oferecida nas Unidades Básicas de Saúde (UBS), "
     "os conhecidos postos de saúde. É ali que se fazem as consultas de rotina, o pré-natal, o acompanhamento de "
     "crianças, idosos e pessoas com doenças crônicas, como hipertensão e diabetes, além de curativos, vacinas e "
     "exames simples.\n"
     "Na Estratégia Saúde da Família, cada equipe, formada por médico, enfermeiro, técnico de enfermagem e agentes "
     "comunitários de saúde, cuida de uma área definida do bairro. Os agentes visitam as casas, conhecem os moradores "
     "pelo nome e percebem cedo quem precisa de atenção. Esse vínculo permite tratar os problemas mais comuns perto de "
     "casa e encaminhar ao especialista ou ao hospital somente os casos que exigem mais recursos. Estima-se que uma "
     "atenção básica bem organizada seja capaz de resolver cerca de 80% dos problemas de saúde de uma população.\n"
     "Para ser atendido, o morador se cadastra na unidade mais próxima de casa, levando um documento com foto e um "
     "comprovante de endereço; o Cartão Nacional de Saúde, se ainda não existir, pode ser feito ali mesmo. Em "
     "situações de urgência, como dor no peito, falta de ar intensa ou sinais de derrame, o caminho é outro: chamar o "
     "SAMU pelo telefone 192 ou procurar uma unidade de pronto atendimento. Usar cada serviço para aquilo que ele "
     "oferece evita filas desnecessárias nos prontos-socorros e faz o dinheiro público render mais. O cidadão também "
     "pode participar das decisões, por meio dos conselhos municipais de saúde, e registrar reclamações ou elogios na "
     "ouvidoria do SUS."},
    {"licitacoes", "Como o poder público compra",
     "Quando uma prefeitura precisa de merenda escolar, de remédios para os postos de saúde ou de uma ponte nova, ela "
     "não pode simplesmente escolher um fornecedor e fechar o negócio. As compras e contratações públicas seguem, em "
     "regra, um procedimento chamado licitação, cujo objetivo é garantir a escolha da proposta mais vantajosa para a "
     "administração e dar a todos os interessados a mesma chance de disputar. A Lei nº 14.133, de 2021, conhecida como "
     "nova Lei de Licitações e Contratos, reuniu em um só texto regras que antes estavam espalhadas em várias leis e "
     "deu preferência às disputas feitas por meio eletrônico.\n"
     "O processo começa com o planejamento: o órgão descreve com clareza aquilo de que precisa, pesquisa os preços "
     "praticados no mercado e estima quanto vai gastar. Em seguida, publica o edital, que informa o objeto, os prazos, "
     "os documentos exigidos e o critério de julgamento, como o menor preço ou a melhor técnica. No pregão, modalidade "
     "usada para bens e serviços comuns, os participantes enviam lances sucessivos, cada vez menores, e vence quem "
     "oferece o menor valor e cumpre as exigências do edital. Depois de assinado o contrato, cabe a um fiscal "
     "designado verificar se o que foi entregue corresponde ao que foi pago.\n"
     "A lei admite exceções. Em situações de emergência, como uma calamidade, ou em compras de pequeno valor, a "
     "contratação pode ser direta, sem disputa, mas continua obrigada a ser justificada e publicada. Os editais, os "
     "contratos e os seus aditivos devem ser divulgados no Portal Nacional de Contratações Públicas, o PNCP, onde "
     "qualquer pessoa pode consultá-los. Os tribunais de contas, o Ministério Público e os próprios cidadãos podem "
     "questionar irregularidades; quem frauda uma licitação responde nas esferas administrativa, civil e penal."},
    {"residuos-solidos", "O destino do lixo",
     "Cada brasileiro produz, em média, cerca de um quilo de lixo por dia. Somado o lixo de todos, o país gera mais de "
     "80 milhões de toneladas por ano, e uma parte considerável ainda vai parar em lixões a céu aberto, onde contamina "
     "o solo, os rios e o ar e atrai insetos e ratos que transmitem doenças. A Política Nacional de Resíduos Sólidos, "
     "de 2010, determinou o fim dos lixões e estabeleceu uma ordem de prioridade que vale para todos: primeiro, não "
     "gerar resíduos; depois, reduzir, reutilizar e reciclar (os conhecidos \"três erres\"); e só então tratar e "
     "dispor em aterro sanitário o que não tiver outro aproveitamento.\n"
     "A mesma lei criou a responsabilidade compartilhada pelo ciclo de vida dos produtos. Fabricantes, importadores, "
     "comerciantes, poder público e consumidores têm, cada um, a sua parte. Pilhas, baterias, pneus, óleos "
     "lubrificantes, lâmpadas e aparelhos eletrônicos devem voltar ao fabricante depois do uso, por meio da chamada "
     "logística reversa; por isso, muitas lojas mantêm pontos de coleta para esses materiais. Às prefeituras cabe "
     "organizar a coleta seletiva e, sempre que possível, contratar cooperativas de catadores, que tiram do lixo o seu "
     "sustento e prestam um serviço ambiental de grande valor.\n"
     "Em casa, o primeiro passo é simples: separar os resíduos secos, como papel, plástico, vidro e metal, dos úmidos, "
     "como restos de comida e cascas. Embalagens limpas e secas têm mais valor para a reciclagem. Os restos orgânicos, "
     "que correspondem a quase metade do lixo doméstico, podem virar adubo em composteiras caseiras ou comunitárias. "
     "Óleo de cozinha usado nunca deve ir para a pia: um único litro pode contaminar milhares de litros de água. "
     "Guardado em garrafas, ele pode ser levado a postos de coleta e transformado em sabão ou biocombustível."},
    {"defensoria-publica", "A Defensoria Pública",
     "Nem todo mundo pode pagar um advogado, e a Constituição não aceita que a falta de dinheiro impeça alguém de "
     "defender os seus direitos. Para isso, existe a Defensoria Pública, instituição encarregada de orientar e "
     "defender, dentro e fora dos tribunais e sem cobrar nada, quem não tem condições de pagar por esse serviço. Há "
     "uma Defensoria Pública em cada estado e no Distrito Federal, que atua nos processos da Justiça estadual, e a "
     "Defensoria Pública da União, que cuida das causas que correm na Justiça Federal, como as que envolvem benefícios "
     "do INSS.\n"
     "O atendimento abrange questões muito variadas: pensão alimentícia, guarda de filhos, divórcio, reconhecimento de "
     "paternidade, problemas com o aluguel, dívidas com bancos, pedidos de remédios e tratamentos ao poder público, "
     "além da defesa de quem responde a um processo criminal e não tem advogado. O defensor não se limita a ir ao "
     "tribunal. Muitas vezes, ele chama as partes para conversar e consegue um acordo sem processo, o que poupa tempo "
     "e desgaste. A Defensoria também pode agir em nome de grupos inteiros, por exemplo, quando os moradores de uma "
     "comunidade correm o risco de ser despejados.\n"
     "Cada Defensoria define os critérios para o atendimento, em geral ligados à renda da família (em muitos estados, "
     "até três salários mínimos) e ao patrimônio. Quem procura o serviço deve levar documento de identidade, CPF, "
     "comprovante de residência e de renda e todos os papéis relacionados ao caso: contratos, recibos, mensagens, "
     "notificações. Organizar esses documentos com antecedência torna a primeira conversa mais produtiva. O endereço "
     "das unidades e os horários de atendimento estão nos sites das Defensorias, e algumas já fazem a triagem por "
     "telefone ou aplicativo."},
    {"antibioticos", "O uso correto dos antibióticos",
     "A descoberta da penicilina, em 1928, mudou a história da medicina. Infecções que antes matavam com frequência, "
     "como pneumonias e feridas infeccionadas, passaram a ser curadas em poucos dias. Quase um século depois, porém, "
     "esse avanço está ameaçado. As bactérias se reproduzem muito depressa e, a cada geração, algumas surgem com "
     "mudanças que as tornam capazes de sobreviver ao remédio. Quando um antibiótico é usado, as sensíveis morrem e as "
     "resistentes ficam com o caminho livre para se multiplicar, dando origem às chamadas \"superbactérias\". É a "
     "seleção natural acontecendo diante dos nossos olhos.\n"
     "O uso inadequado acelera esse processo. Tomar antibiótico para gripe ou resfriado, doenças causadas por vírus, "
     "não traz nenhum benefício e ainda expõe as bactérias do corpo ao medicamento. Interromper o tratamento quando os "
     "sintomas melhoram, guardar sobras para uma próxima vez ou dividir o remédio com um parente são hábitos "
     "igualmente arriscados. Por isso, no Brasil, os antibióticos só podem ser vendidos com receita, que fica retida "
     "na farmácia. O problema não se restringe à saúde humana: na criação de animais, o uso desses medicamentos para "
     "acelerar o crescimento também contribui para espalhar a resistência.\n"
     "A Organização Mundial da Saúde considera a resistência aos antimicrobianos uma das maiores ameaças à saúde "
     "pública mundial. Estimativas publicadas nos últimos anos atribuem a ela, diretamente, mais de um milhão de "
     "mortes por ano no mundo. Cada pessoa pode ajudar a conter o problema: usar antibióticos apenas com prescrição, "
     "seguir a dose e o horário indicados até o último dia, nunca se automedicar e manter a vacinação em dia, o que "
     "evita infecções. Lavar as mãos com água e sabão, um gesto simples, continua sendo uma das formas mais eficazes "
     "de impedir que os germes passem de uma pessoa para outra."},
    {"cerrado", "O Cerrado e as águas do Brasil",
     "O Cerrado ocupa cerca de um quarto do território brasileiro e é considerado a savana com maior biodiversidade do "
     "planeta. Suas árvores de troncos retorcidos e casca grossa parecem castigadas à primeira vista, mas escondem uma "
     "adaptação notável: muitas plantas têm raízes que descem a mais de dez metros de profundidade em busca de água "
     "durante a estação seca, que pode durar de cinco a seis meses. Não por acaso, costuma-se dizer que o Cerrado é "
     "uma floresta de cabeça para baixo: boa parte da sua biomassa fica debaixo da terra.\n"
     "Essa vegetação tem um papel decisivo para a água que chega às torneiras de milhões de pessoas. No Cerrado nascem "
     "rios que alimentam oito das doze grandes regiões hidrográficas do país, entre elas as do São Francisco, do "
     "Tocantins-Araguaia e do Paraná. O solo coberto pela vegetação nativa funciona como uma esponja: na época das "
     "chuvas, ele absorve a água e a libera aos poucos para os lençóis subterrâneos, que mantêm os rios correndo "
     "durante a seca. Quando a cobertura nativa é retirada sem cuidado, a água escorre pela superfície, leva terra "
     "para o leito dos rios, e as nascentes enfraquecem.\n"
     "Nas últimas décadas, cerca de metade da vegetação original do bioma foi convertida em pastagens, lavouras e "
     "cidades. A lei exige que os imóveis rurais mantenham uma parte da vegetação nativa, a chamada reserva legal, e "
     "protejam as margens de rios e as nascentes, que são áreas de preservação permanente. Pesquisas mostram que é "
     "possível produzir mais sem abrir novas áreas, recuperando pastos degradados e integrando lavoura, pecuária e "
     "floresta. Conservar o que resta, restaurar o que foi perdido e valorizar os frutos nativos, como o pequi e o "
     "baru, são caminhos para que o Cerrado continue a sustentar a vida e a economia do Brasil."},
}};

}  // namespace

std::span<const ExamText> ExamTexts() { return AllTexts; }

const ExamText* FindExamText(std::string_view id) {
  for (const ExamText& t : AllTexts)
    if (t.id == id) return &t;
  return nullptr;
}

std::int32_t CharacterCount(const ExamText& text) {
  std::int32_t count = 0;
  for (const char byte : text.text)
    if ((static_cast<unsigned char>(byte) & 0xC0u) != 0x80u) ++count;  // continuation bytes are not characters
  return count;
}

bool SuitsLength(const ExamText& text, std::int32_t usualLength) {
  return usualLength == 0 || std::abs(CharacterCount(text) - usualLength) <= NearLengthMargin;
}

std::size_t TextChoiceFor(std::int32_t usualLength, std::size_t current) {
  if (current < AllTexts.size() && SuitsLength(AllTexts[current], usualLength)) return current;
  for (std::size_t i = 0; i < AllTexts.size(); ++i)
    if (SuitsLength(AllTexts[i], usualLength)) return i;
  return current;
}

}  // namespace tecladim::exam
